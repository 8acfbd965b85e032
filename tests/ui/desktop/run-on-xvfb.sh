#!/usr/bin/env bash
# Runs a command on a screen of its own: a new Xvfb on a free display number, with openbox
# when it and xprop are installed, and a fresh temporary HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR so
# that no settings of the user's are read or written. The command sees DISPLAY,
# QT_QPA_PLATFORM=xcb and DESKTOP_HOME (the temporary home); its exit code is the script's.
# Exits with 77 ("skipped") when Xvfb is missing.
#   run-on-xvfb.sh COMMAND [ARGUMENTS...]
set -uo pipefail
if ! command -v Xvfb >/dev/null; then
  echo "skipped: Xvfb is not installed (scripts/install-deps.sh installs it)" >&2
  exit 77
fi

desktop=$(mktemp -d "${TMPDIR:-/tmp}/veltrix-xvfb.XXXXXX")
pids=()
stop() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null
  done
  rm -rf "$desktop"
}
trap stop EXIT
trap 'exit 143' TERM INT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$desktop/display" >"$desktop/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  grep -q '^[0-9]' "$desktop/display" 2>/dev/null && break
  sleep 0.1
done
if ! grep -q '^[0-9]' "$desktop/display"; then
  echo "Xvfb did not start:" >&2
  cat "$desktop/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(head -n 1 "$desktop/display")"
mkdir -p "$desktop/home/.config" "$desktop/runtime"
chmod 700 "$desktop/runtime"
export HOME="$desktop/home" XDG_CONFIG_HOME="$desktop/home/.config" XDG_RUNTIME_DIR="$desktop/runtime"
export DESKTOP_HOME="$HOME" QT_QPA_PLATFORM=xcb
unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER
# A window that maps while the window manager is still starting may be left unmanaged and
# unseen: wait until openbox has announced itself on the root window.
if command -v openbox >/dev/null && command -v xprop >/dev/null; then
  openbox --sm-disable >"$desktop/openbox.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
  if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    echo "openbox did not start:" >&2
    cat "$desktop/openbox.log" >&2
    exit 1
  fi
fi

"$@"
