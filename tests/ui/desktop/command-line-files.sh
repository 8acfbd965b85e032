#!/usr/bin/env bash
# The real program on a real screen: `veltrix A.syx B.syx` opens both dumps at start, and
# the grid shows their programs with the File column. Run it on a screen of its own:
#   tests/xvfb/with-desktop.sh command-line-files.sh VELTRIX REALDATA_DIR
# The window is found with xdotool; the grid's rows come from the dump Veltrix writes when
# VELTRIX_DUMP_GRID names a file. Exits with 77 when the real dumps or xdotool are missing.
set -uo pipefail
veltrix=$1
realdata=$2
if [ ! -f "$realdata/mk-programs-0x4C.syx" ] || [ ! -f "$realdata/ms2000-bank-0x4C.syx" ]; then
  echo "skipped: no real dumps at $realdata" >&2
  exit 77
fi
if ! command -v xdotool >/dev/null; then
  echo "skipped: xdotool is not installed (scripts/install-deps.sh installs it)" >&2
  exit 77
fi

dump="$DESKTOP_HOME/grid.txt"
log="$DESKTOP_HOME/veltrix.log"
VELTRIX_DUMP_GRID=$dump "$veltrix" "$realdata/mk-programs-0x4C.syx" "$realdata/ms2000-bank-0x4C.syx" >"$log" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null' EXIT

window=""
for _ in $(seq 150); do
  window=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Veltrix$' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: no visible window titled Veltrix" >&2; cat "$log" >&2; exit 1; }
for _ in $(seq 150); do
  [ -s "$dump" ] && break
  sleep 0.1
done
[ -s "$dump" ] || { echo "FAIL: the grid was not dumped" >&2; cat "$log" >&2; exit 1; }

failures=0
expect_line() {
  grep -qxF -- "$1" "$dump" || { echo "FAIL: no line '$1'" >&2; failures=$((failures + 1)); }
}
expect_line $'title\tVeltrix'
expect_line $'columns\tFile\tBank\t#\tProgram\tCategory'
expect_line $'rows\t256'
# Row 1 and row 129: the first program of each file, in the order given, with its file.
first=$(grep -m1 $'^row\t' "$dump")
[[ "$first" == $'row\t mk-programs-0x4C\tA\t001\t'* ]] || { echo "FAIL: first row is '$first'" >&2; failures=$((failures + 1)); }
second=$(grep $'^row\t' "$dump" | sed -n 129p)
[[ "$second" == $'row\t ms2000-bank-0x4C\tA\t001\t '* ]] || { echo "FAIL: row 129 is '$second'" >&2; failures=$((failures + 1)); }
[ "$(grep -c $'^row\t mk-programs-0x4C\t' "$dump")" = 128 ] || { echo "FAIL: not 128 rows of the first file" >&2; failures=$((failures + 1)); }
grep -q $'^row\t ms2000-bank-0x4C\tH\t016\t INIT Program\t' "$dump" || { echo "FAIL: the last program of the second file is missing" >&2; failures=$((failures + 1)); }

((failures == 0)) && echo "veltrix showed both files in its window"
exit $((failures > 0))
