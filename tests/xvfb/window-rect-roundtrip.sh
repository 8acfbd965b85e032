#!/usr/bin/env bash
# The stored window rectangle round-trips on a real desktop with a window manager: Veltrix
# opens where it was closed, at the same outer size, run after run; the first start opens
# centred on the screen. Run it through with-desktop.sh:
#
#   tests/xvfb/with-desktop.sh tests/xvfb/window-rect-roundtrip.sh build/ui/veltrix
set -uo pipefail
here=$(dirname "$0")
# shellcheck source=desktop-lib.sh
source "$here/desktop-lib.sh"
require_tools xdotool xwininfo xprop

veltrix=$1
settings="$XDG_CONFIG_HOME/Veltrix/Veltrix.conf"
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Starts Veltrix, waits until its window has settled, closes it with Alt+F4 and prints the
# outer rectangle it had on the screen. The settings file then holds what it stored.
run_once() {
  "$veltrix" >>"$DESKTOP_HOME/veltrix.log" 2>&1 &
  local pid=$! id rect
  id=$(wait_for_window "$pid" '^Veltrix$') || { kill "$pid" 2>/dev/null; return 1; }
  rect=$(settled_outer_rect "$id") || return 1
  close_window "$id" "$pid" || { echo "Veltrix did not close cleanly" >&2; return 1; }
  echo "$rect"
}

# First start: nothing stored. The window is centred on the 1280 x 1024 screen.
first=$(run_once) || { cat "$DESKTOP_HOME/veltrix.log" >&2; exit 1; }
stored=$(ini_rect "$settings" rect)
echo "first start: on screen $first, stored $stored"
[ "$stored" = "$first" ] || fail "the stored rectangle ($stored) is not the outer one on the screen ($first)"
read -r left top right bottom <<<"$first"
centre_x=$(((left + right) / 2))
centre_y=$(((top + bottom) / 2))
if ((centre_x < 639 || centre_x > 641 || centre_y < 511 || centre_y > 513)); then
  fail "the first window is not centred on the screen: its centre is $centre_x,$centre_y"
fi

# Start again: the window opens at the stored rectangle and stores it unchanged.
for run in 2 3; do
  again=$(run_once) || { cat "$DESKTOP_HOME/veltrix.log" >&2; exit 1; }
  restored=$(ini_rect "$settings" rect)
  echo "start $run: on screen $again, stored $restored"
  [ "$again" = "$stored" ] || fail "start $run opened at $again, not at the stored $stored"
  [ "$restored" = "$stored" ] || fail "start $run stored $restored instead of $stored"
done

# A rectangle put in the settings by hand is the outer rectangle of the next window.
cat >"$settings" <<'EOF'
[rect]
left=100
top=50
right=900
bottom=650
EOF
placed=$(run_once) || { cat "$DESKTOP_HOME/veltrix.log" >&2; exit 1; }
echo "stored 100 50 900 650: on screen $placed, stored $(ini_rect "$settings" rect)"
[ "$placed" = "100 50 900 650" ] || fail "the stored 100 50 900 650 opened at $placed"
[ "$(ini_rect "$settings" rect)" = "100 50 900 650" ] || fail "100 50 900 650 was stored back as $(ini_rect "$settings" rect)"

if ((failures > 0)); then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "the window rectangle round-trips"
