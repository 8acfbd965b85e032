#!/usr/bin/env bash
# On a screen smaller than the one Veltrix was closed on, the window opens whole on the
# screen: a stored rectangle is moved and shrunk into it, so that the title bar's buttons
# and the status bar can be reached. Run it through with-desktop.sh on a 1024 x 768 screen:
#
#   DESKTOP_SCREEN=1024x768x24 tests/xvfb/with-desktop.sh tests/xvfb/small-screen.sh build/ui/veltrix
set -uo pipefail
here=$(dirname "$0")
# shellcheck source=desktop-lib.sh
source "$here/desktop-lib.sh"
require_tools xdotool xwininfo xprop

veltrix=$1
settings="$XDG_CONFIG_HOME/Veltrix/Veltrix.conf"
mkdir -p "$(dirname "$settings")"
read -r screen_w screen_h < <(xwininfo -root | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Starts Veltrix and leaves it running: its pid in $pid, its window in $window, and the
# outer rectangle the window settled at in $rect.
start() {
  "$veltrix" >>"$DESKTOP_HOME/veltrix.log" 2>&1 &
  pid=$!
  window=$(wait_for_window "$pid" '^Veltrix$') || { kill "$pid" 2>/dev/null; cat "$DESKTOP_HOME/veltrix.log" >&2; exit 1; }
  rect=$(settled_outer_rect "$window")
}

inside_screen() {
  local left top right bottom
  read -r left top right bottom <<<"$1"
  ((left >= 0 && top >= 0 && right <= screen_w && bottom <= screen_h))
}

# Closed at 1200 x 900 on a larger screen, at several places (the last far to the right of
# this screen): the frame and the client area both lie on the screen, the decorations counted
# once; a window stored larger than the screen fills it exactly.
for stored in "40 30 1240 930" "0 0 1200 900" "-30 -20 1170 880" "1500 200 2300 800"; do
  read -r left top right bottom <<<"$stored"
  printf '[rect]\nleft=%s\ntop=%s\nright=%s\nbottom=%s\n' "$left" "$top" "$right" "$bottom" >"$settings"
  start
  client=$(client_rect "$window")
  echo "stored $stored on a ${screen_w}x${screen_h} screen: opened at $rect, client area $client"
  inside_screen "$rect" || fail "the window at $rect is not on the ${screen_w}x${screen_h} screen"
  inside_screen "$client" || fail "the client area $client reaches off the ${screen_w}x${screen_h} screen"
  if (((right - left) >= screen_w && (bottom - top) >= screen_h)) && [ "$rect" != "0 0 $screen_w $screen_h" ]; then
    fail "stored larger than the screen, the window is at $rect instead of filling it"
  fi
  close_window "$window" "$pid" || fail "Veltrix did not close cleanly"
done

if ((failures > 0)); then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "the window opens whole on a small screen"
