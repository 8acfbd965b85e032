#!/usr/bin/env bash
# `veltrix --help` (or -h, anywhere on the line) prints its usage and ends, as --version
# does, without a display and without opening the window.
#   help-without-display.sh VELTRIX
set -uo pipefail
veltrix=$1
# A home of its own: nothing of the user's settings is read or written, even by a window that opens.
HOME=$(mktemp -d)
export HOME XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_RUNTIME_DIR=$HOME
failures=0
errfile=$(mktemp)
trap 'rm -rf "$errfile" "$HOME"' EXIT
for args in "--help" "-h" "some.syx --help" "-platform offscreen -h"; do
  # shellcheck disable=SC2086
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb timeout 10 "$veltrix" $args 2>"$errfile")
  code=$?
  err=$(cat "$errfile")
  if ((code != 0)) || [[ "$out" != "Usage: veltrix [FILE | FOLDER]..."* ]] || [ -n "$err" ]; then
    echo "FAIL: veltrix $args: exit $code, stdout '${out:0:80}', stderr '${err:0:200}'" >&2
    failures=$((failures + 1))
  fi
done
out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb timeout 10 "$veltrix" --version)
[[ "$out" == "veltrix "* ]] || { echo "FAIL: veltrix --version printed '$out'" >&2; failures=$((failures + 1)); }
((failures == 0)) && echo "veltrix --help and --version answer without a display"
exit $((failures > 0))
