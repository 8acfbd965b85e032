#!/usr/bin/env bash
# The Collection in the real program on a real screen: `veltrix A.syx B.syx` takes both dumps
# into a fresh Collection (checked with veltrix-cli), Ctrl+L opens the Collection view, typing
# a fragment of a name filters its table, and a rename with F2 is what `veltrix-cli export`
# then writes. Run it on a screen of its own:
#   tests/xvfb/with-desktop.sh collection-window.sh VELTRIX VELTRIX_CLI REALDATA_DIR
# The view's rows come from the file Veltrix writes when VELTRIX_DUMP_COLLECTION names one.
# Exits with 77 when the real dumps or xdotool are missing.
set -uo pipefail
veltrix=$1
cli=$2
realdata=$3
source "$(dirname "$0")/../../xvfb/desktop-lib.sh"
require_tools xdotool
if [ ! -f "$realdata/ms2000-bank-0x4C.syx" ] || [ ! -f "$realdata/mk-current-A11-0x40.syx" ]; then
  echo "skipped: no real dumps at $realdata" >&2
  exit 77
fi
# Full paths, as `veltrix-cli sources` names file sources.
first=$(realpath "$realdata/ms2000-bank-0x4C.syx")
second=$(realpath "$realdata/mk-current-A11-0x40.syx")

# A fresh Collection where the program looks for it by default.
export XDG_DATA_HOME="$DESKTOP_HOME/data"
db="$XDG_DATA_HOME/Veltrix/collection.sqlite"
view="$DESKTOP_HOME/collection-view.txt"
log="$DESKTOP_HOME/veltrix.log"
VELTRIX_DUMP_COLLECTION=$view "$veltrix" "$first" "$second" >"$log" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null' EXIT

fail() {
  echo "FAIL: $*" >&2
  echo "--- veltrix:" >&2
  cat "$log" >&2
  [ -f "$view" ] && { echo "--- the view:" >&2; head -n 20 "$view" >&2; }
  exit 1
}
# Waits up to 15 s for the command to succeed.
eventually() {
  for _ in $(seq 150); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
view_has() { [ -f "$view" ] && grep -qxF -- "$1" "$view"; }
both_taken_in() {
  local sources
  sources=$("$cli" sources --collection "$db" 2>/dev/null) || return 1
  grep -qF -- "$first"$'\t' <<<"$sources" && grep -qF -- "$second"$'\t' <<<"$sources"
}

window=$(wait_for_window "$pid" '^Veltrix$') || fail "no window titled Veltrix"
eventually both_taken_in || fail "the two dumps were not taken into $db: $("$cli" sources --collection "$db" 2>&1)"

xdotool windowactivate --sync "$window" >/dev/null 2>&1
xdotool key --clearmodifiers ctrl+l
eventually view_has $'focus\tcollectionSearch' || fail "Ctrl+L did not open the view with the search field focused"
eventually view_has $'visible\t1' || fail "the view is not visible"

xdotool type --delay 50 "silk"
eventually view_has $'search\tsilk' || fail "typing did not reach the search field"
eventually view_has $'rows\t1' || fail "typing 'silk' did not leave one row"
row=$(grep -m1 $'^row\t' "$view")
[[ "$row" == *$'\tSilk Pad\t'* ]] || fail "the row left is '$row'"
id=$(cut -f2 <<<"$row")

xdotool key --clearmodifiers Down
eventually view_has $'focus\tcollectionTable' || fail "Down did not move to the table"
xdotool key --clearmodifiers F2
eventually view_has $'focus\tnameEditor' || fail "F2 did not open the name for editing"
xdotool type --delay 50 "Velvet Pad"
xdotool key --clearmodifiers Return
eventually view_has $'row\t'"$id"$'\tVelvet Pad\tSingle' || fail "the table does not show the new name"

# veltrix-cli sees the new name while the window is open, and exports it.
found=$("$cli" search --collection "$db" velvet) || fail "veltrix-cli search failed"
[[ "$found" == "$id"$'\tVelvet Pad\t'* ]] || fail "veltrix-cli search velvet printed '$found'"
out="$DESKTOP_HOME/velvet.syx"
"$cli" export --collection "$db" "$id" -o "$out" || fail "veltrix-cli export failed"
[ "$(stat -c %s "$out")" = 297 ] || fail "the exported file is $(stat -c %s "$out") bytes, not 297"
listed=$("$cli" list "$out" | cut -f4)
[ "$listed" = "Velvet Pad" ] || fail "the exported program is named '$listed'"

close_window "$window" "$pid" || fail "the window did not close"
trap - EXIT
echo "the Collection view filtered, renamed, and veltrix-cli exported the new name"
