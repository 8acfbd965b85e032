#!/usr/bin/env bash
# Runs a command on a desktop of its own: a new Xvfb screen on a free display number with the
# openbox window manager on it, and a fresh temporary HOME, XDG_CONFIG_HOME and
# XDG_RUNTIME_DIR, so that nothing of the user's settings is read or written.
#
#   tests/xvfb/with-desktop.sh COMMAND [ARGUMENTS...]
#
# The command sees DISPLAY, QT_QPA_PLATFORM=xcb, and DESKTOP_HOME (the temporary home). Its
# exit code is the script's. When Xvfb, openbox or the X utilities are missing the script
# exits with 77, which the tests map to "skipped". The screen is 1280 x 1024 unless
# DESKTOP_SCREEN says otherwise (e.g. 1024x768x24); DESKTOP_XVFB_ARGS adds arguments of
# Xvfb's own (e.g. "-fbdir DIR" to keep the screen as an XWD file). Everything started
# here is stopped on the way out, the command's leftovers die with the X server, and the
# home is removed.
set -uo pipefail

SKIP=77
if (($# == 0)); then
  echo "usage: $0 COMMAND [ARGUMENTS...]" >&2
  exit 2
fi
for tool in Xvfb openbox xprop; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/install-deps.sh installs it)" >&2
    exit "$SKIP"
  fi
done

desktop=$(mktemp -d "${TMPDIR:-/tmp}/veltrix-desktop.XXXXXX")
xvfb_pid=""
wm_pid=""
stop_desktop() {
  stop_servers
  rm -rf "$desktop"
}
trap stop_desktop EXIT
trap 'exit 143' TERM INT

# Starts Xvfb (it picks a free display number itself and writes it once it accepts
# connections) and openbox on it. Returns non-zero, with everything stopped, when either
# did not come up.
start_desktop() {
  # shellcheck disable=SC2086
  Xvfb -displayfd 3 -screen 0 "${DESKTOP_SCREEN:-1280x1024x24}" -nolisten tcp ${DESKTOP_XVFB_ARGS:-} \
    3>"$desktop/display" >"$desktop/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    grep -q '^[0-9]' "$desktop/display" 2>/dev/null && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if ! grep -q '^[0-9]' "$desktop/display" 2>/dev/null; then
    echo "Xvfb did not start:" >&2
    cat "$desktop/xvfb.log" >&2
    return 1
  fi
  export DISPLAY=":$(head -n 1 "$desktop/display")"

  openbox --sm-disable >"$desktop/openbox.log" 2>&1 &
  wm_pid=$!
  # The window manager is ready once it has announced itself on the root window.
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    kill -0 "$wm_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "openbox did not start:" >&2
  cat "$desktop/openbox.log" >&2
  return 1
}

# Asks process PID to end, and ends it outright if it has not within 5 s: a server that
# hangs on its way out must not hold the test until its time runs out.
stop_process() {
  local pid=$1
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "process $pid did not end when asked; killed" >&2
    kill -KILL "$pid" 2>/dev/null
  fi
  wait "$pid" 2>/dev/null
}

stop_servers() {
  [ -n "$wm_pid" ] && stop_process "$wm_pid"
  [ -n "$xvfb_pid" ] && stop_process "$xvfb_pid"
  wm_pid="" xvfb_pid=""
}

mkdir -p "$desktop/home/.config" "$desktop/runtime"
chmod 700 "$desktop/runtime"
export HOME="$desktop/home"
export XDG_CONFIG_HOME="$HOME/.config"
export XDG_DATA_HOME="$HOME/.local/share"   # the Collection of the run's own
export XDG_RUNTIME_DIR="$desktop/runtime"
export DESKTOP_HOME="$HOME"
export QT_QPA_PLATFORM=xcb
unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER

# A server that comes up at the moment another one goes away can be missed; a second try
# on a fresh server is enough then.
started=""
for attempt in 1 2 3; do
  if start_desktop; then
    started=1
    break
  fi
  stop_servers
  echo "starting the desktop again (attempt $((attempt + 1)))" >&2
done
[ -n "$started" ] || exit 1

"$@"
