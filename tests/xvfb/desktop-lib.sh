# Helpers for tests that drive real windows on the desktop of tests/xvfb/with-desktop.sh.
# Source this file; every wait is bounded, and a helper that gives up prints why and fails.

# Exits with 77 (skipped) when one of the given programs is missing.
require_tools() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null; then
      echo "skipped: $tool is not installed (scripts/install-deps.sh installs it)" >&2
      exit 77
    fi
  done
}

# Prints the id of the first visible window of process PID whose title matches REGEX,
# waiting up to SECONDS (default 15).
wait_for_window() {
  local pid=$1 title=$2 seconds=${3:-15} id
  for _ in $(seq $((seconds * 10))); do
    id=$(xdotool search --all --onlyvisible --pid "$pid" --name "$title" 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "no window titled '$title' of process $pid appeared" >&2
  return 1
}

# Prints the window's outer rectangle, decorations included, as "left top right bottom" in
# screen coordinates: the client's place on the screen widened by the frame extents that the
# window manager announces.
outer_rect() {
  local id=$1 info x y w h extents l r t b
  info=$(xwininfo -id "$id") || return 1
  x=$(sed -n 's/.*Absolute upper-left X: *\(-\?[0-9]*\).*/\1/p' <<<"$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *\(-\?[0-9]*\).*/\1/p' <<<"$info")
  w=$(sed -n 's/.*Width: *\([0-9]*\).*/\1/p' <<<"$info")
  h=$(sed -n 's/.*Height: *\([0-9]*\).*/\1/p' <<<"$info")
  extents=$(xprop -id "$id" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ' ')
  IFS=, read -r l r t b <<<"${extents:-0,0,0,0}"
  echo "$((x - l)) $((y - t)) $((x + w + r)) $((y + h + b))"
}

# Prints the window's client area (the program's own, without decorations) as "left top right
# bottom" in screen coordinates.
client_rect() {
  local info x y w h
  info=$(xwininfo -id "$1") || return 1
  x=$(sed -n 's/.*Absolute upper-left X: *\(-\?[0-9]*\).*/\1/p' <<<"$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *\(-\?[0-9]*\).*/\1/p' <<<"$info")
  w=$(sed -n 's/.*Width: *\([0-9]*\).*/\1/p' <<<"$info")
  h=$(sed -n 's/.*Height: *\([0-9]*\).*/\1/p' <<<"$info")
  echo "$x $y $((x + w)) $((y + h))"
}

# Waits up to SECONDS (default 5) until the window's outer rectangle stays the same for half
# a second, and prints it.
settled_outer_rect() {
  local id=$1 seconds=${2:-5} last="" now
  for _ in $(seq $((seconds * 4))); do
    now=$(outer_rect "$id") || return 1
    if [ "$now" = "$last" ]; then
      sleep 0.25
      [ "$(outer_rect "$id")" = "$now" ] && { echo "$now"; return 0; }
    fi
    last=$now
    sleep 0.25
  done
  echo "$last"
}

# Closes the window as a user does, with Alt+F4 (the window manager asks the program to
# close), and waits up to SECONDS (default 10) for process PID to end. The keys are sent
# again each second, in case the window manager had not given the window the focus yet.
# Returns the program's exit code.
close_window() {
  local id=$1 pid=$2 seconds=${3:-10}
  for _ in $(seq "$seconds"); do
    xdotool windowactivate --sync "$id" >/dev/null 2>&1
    xdotool key --clearmodifiers alt+F4 >/dev/null 2>&1
    for _ in $(seq 10); do
      kill -0 "$pid" 2>/dev/null || break 2
      sleep 0.1
    done
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "process $pid did not end after Alt+F4" >&2
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 1
  fi
  wait "$pid"
}

# Prints "left top right bottom" of a section of an INI file, reading the keys left, top,
# right and bottom; prints nothing when the file or the keys are missing.
ini_rect() {
  local file=$1 section=$2
  [ -f "$file" ] || return 0
  awk -v section="[$section]" '
    /^\[/ { inside = ($0 == section) }
    inside && /=/ { split($0, kv, "="); value[kv[1]] = kv[2] }
    END { if ("left" in value) print value["left"], value["top"], value["right"], value["bottom"] }
  ' "$file"
}
