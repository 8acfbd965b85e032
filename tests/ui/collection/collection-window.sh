#!/usr/bin/env bash
# The Collection in the real program on a real screen: `veltrix A.syx B.syx` takes both dumps
# into a fresh Collection (checked with veltrix-cli), Ctrl+L opens the Collection view, typing
# a fragment of a name filters its table, and a rename with F2 is what `veltrix-cli export`
# then writes. After the rename the keys go on from that row (Ctrl+D marks it; Down and F2
# rename the next), and a name being typed survives `veltrix-cli mark` meanwhile. Then the
# Collection is damaged and Veltrix started again with the view in sight: the window comes up,
# then the notice, and it goes on with a new Collection that takes the file it was given.
# Run it on a screen of its own:
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
VELTRIX_ECHO_MESSAGES=1 VELTRIX_DUMP_COLLECTION=$view "$veltrix" "$first" "$second" >"$log" 2>&1 &
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

# The keyboard stays on the renamed row: Ctrl+D marks it at once.
eventually view_has $'focus\tcollectionTable' || fail "the keyboard left the table after F2 and Return"
is_favourite() { "$cli" search --collection "$db" --favourite 2>/dev/null | cut -f1 | grep -x "$1" >/dev/null; }
xdotool key --clearmodifiers ctrl+d
eventually is_favourite "$id" || fail "Ctrl+D after the rename did not mark the program"

# Ctrl+L hides the view from inside it and brings it back with the search field.
xdotool key --clearmodifiers ctrl+l
eventually view_has $'visible\t0' || fail "Ctrl+L in the view did not hide it"
xdotool key --clearmodifiers ctrl+l
eventually view_has $'focus\tcollectionSearch' || fail "Ctrl+L did not bring the search field back"
xdotool type --delay 50 "pad"
eventually view_has $'rows\t8' || fail "typing 'pad' did not leave eight rows"
mapfile -t pads < <(grep $'^row\t' "$view" | cut -f2)
row_named() { [ -f "$view" ] && grep -q "^row"$'\t'"$1"$'\t'"$2"$'\t' "$view"; }
name_of() { "$cli" search --collection "$db" 2>/dev/null | awk -F'\t' -v id="$1" '$1 == id { print $2 }'; }
rename_next() {   # Down, F2, the name, Return
  xdotool key --clearmodifiers Down
  xdotool key --clearmodifiers F2
  eventually view_has $'focus\tnameEditor' || fail "F2 did not open the name of the next row"
  xdotool type --delay 50 "$1"
  xdotool key --clearmodifiers Return
}
rename_next "Pad One"
eventually row_named "${pads[0]}" "Pad One" || fail "Down and F2 did not rename the first row"
rename_next "Pad Two"
eventually row_named "${pads[1]}" "Pad Two" || fail "Down and F2 did not rename the next row"

# A name being typed while veltrix-cli marks a program and the view looks again (every 2 s).
xdotool key --clearmodifiers Down F2
eventually view_has $'focus\tnameEditor' || fail "F2 did not open the third name"
xdotool type --delay 50 "Pad"
"$cli" mark --collection "$db" "${pads[0]}" --favourite || fail "veltrix-cli mark failed"
sleep 2.5
view_has $'focus\tnameEditor' || fail "the name's editor went while veltrix-cli marked a program"
xdotool type --delay 50 " Three"
xdotool key --clearmodifiers Return
eventually row_named "${pads[2]}" "Pad Three" || fail "the name typed meanwhile was not kept"
[ "$(name_of "${pads[2]}")" = "Pad Three" ] || fail "the Collection has '$(name_of "${pads[2]}")', not 'Pad Three'"
! grep -q "does not belong to this view" "$log" || fail "Qt warned about the editor"

close_window "$window" "$pid" || fail "the window did not close"

# Garbage over the first pages of the Collection after its header (the table of its tables
# among them), then Veltrix again with the view in sight (the stored layout has it) and a
# file to open.
dd if=/dev/urandom of="$db" bs=1 seek=100 count=8192 conv=notrunc status=none || fail "could not damage $db"
third=$(realpath "$realdata/mk-init-0x40.syx")
rm -f "$view"
VELTRIX_ECHO_MESSAGES=1 VELTRIX_DUMP_COLLECTION=$view "$veltrix" "$third" >"$log" 2>&1 &
pid=$!
window=$(wait_for_window "$pid" '^Veltrix - ') || fail "no window came up on the damaged Collection"
told() { grep -q "Veltrix message (exclamation): .*damaged" "$log"; }
eventually told || fail "the damaged Collection was not told"
# Told as the box is made; it is mapped a moment later (longer under the sanitizers).
box=$(wait_for_window "$pid" '^Veltrix$' 10) || fail "no message box for the damaged Collection"
xdotool windowactivate --sync "$box" >/dev/null 2>&1
xdotool key --clearmodifiers Return
sleep 1
kill -0 "$pid" 2>/dev/null || fail "Veltrix ended after the notice"
third_taken_in() { "$cli" sources --collection "$db" 2>/dev/null | grep -F -- "$third"$'\t' >/dev/null; }
eventually third_taken_in || fail "the file was not taken into the new Collection: $("$cli" sources --collection "$db" 2>&1)"
eventually view_has $'rows\t1' || fail "the view does not show the new Collection's one program"
ls "$db".damaged-* >/dev/null 2>&1 || fail "the damaged Collection was not set aside"

close_window "$window" "$pid" || fail "the window did not close the second time"
trap - EXIT
echo "the Collection view filtered, renamed row after row, kept a name typed while veltrix-cli marked," \
  "and a damaged Collection was told once the window was up"
