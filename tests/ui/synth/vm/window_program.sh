#!/bin/sh
# Runs inside the MIDI VM with an X display (VELTRIX_VM_X=1) and the simulated synthesizer
# started from ms2000-bank-0x4C.syx on "Serial MIDI 1", listening on channel 3. Drives the
# real window as a user would, with keys only:
#   a) Program > Find Synthesizer chooses the port and channel 3 and ticks Midi Active;
#      Program > Receive from Synth > All Programs (answered on channel 3 only): the title names
#      the "Synth" source; File > Save Received Dump... writes the synthesizer's bytes (compared
#      here with the dump it started from);
#   b) a bank built from two files: Open Syx File(s) of ms2000-bank-0x4C.syx, rows A01-A04
#      selected, File > Open Bank... of mk-programs-0x4C.syx, Program > Put in Bank (slots
#      A01-A04), File > Save Bank As..., then Program > Send Bank to Synth... confirmed:
#      the window says "data load completed";
#   c) library row C05 selected, Program > Send to Synth Slot... (its own slot C 05 offered
#      first) confirmed: the window says "Written to C 05"; Program > Receive Bank from Synth,
#      and File > Save Received Dump... writes what the synthesizer holds then (its sha256 is
#      printed for the script around the VM to compare);
#   d) library rows G05-G07 put in slots A01-A03 of that received bank, Program > Send Changed
#      Slots to Synth confirmed: the window says all 3 were written. The script around the VM
#      compares the synthesizer's memory with the expected bank and reads its log.
# Files in /files: veltrix, ms2000-bank-0x4C.syx, mk-programs-0x4C.syx, window_steps.sh.
# Prints "ok ..." or "FAIL ..." per step and the time the receive took; exits 0 when all passed.

F=/files
LOG=/tmp/veltrix.log
export VELTRIX_ECHO_MESSAGES=1 QT_QPA_PLATFORM=xcb
. /files/window_steps.sh


/files/veltrix > "$LOG" 2>&1 &
pid=$!
wait_for 60 titled '^Veltrix$' || { echo "FAIL the window did not open"; failures=1; finish; }
sleep 2

# Program > Find Synthesizer: the port and channel are found, and Midi Active is ticked.
menu p h
sleep 1.5   # the search ends a tenth of a second after the answer; the receive below needs it done
check "Find Synthesizer found the synthesizer without a message" not said "Veltrix message"

# a) Receive from Synth > All Programs.
open_menu p y
start=$(now)
xdotool key p
if wait_for 60 titled '^Veltrix - \[Synth [0-9-]* [0-9:]*\]$'; then
    echo "receive all programs in the window: $(awk "BEGIN { printf \"%.1f\", $(now) - $start }") s" \
         "from choosing All Programs to the title naming the source (the wire needs 11.9 s)"
    echo "ok the 128 programs appear as the source \"$(xdotool getwindowname "$(main_window)")\""
else
    echo "FAIL the title did not name a Synth source"; failures=$((failures + 1))
fi
menu f e
answer_dialog "Save As" /tmp/received.syx
wait_for 10 test -s /tmp/received.syx
# Exactly as it came: the dump the synthesizer started from, on its channel 3 (byte 3 is 0x32).
same_but_channel() { cmp -l "$1" "$2" | awk 'END { exit !(NR == 1 && $1 == 3 && $2 == 62 && $3 == 60) }'; }
check "Save Received Dump wrote the synthesizer's 37,163 bytes exactly" same_but_channel /tmp/received.syx $F/ms2000-bank-0x4C.syx

# b) A bank from two files, sent to the synthesizer.
focus_main
xdotool key ctrl+o
answer_dialog "Open" $F/ms2000-bank-0x4C.syx
wait_for 30 titled '^Veltrix - \[ms2000-bank-0x4C.syx\]$'
check "Open replaced the library with ms2000-bank-0x4C.syx" titled '^Veltrix - \[ms2000-bank-0x4C.syx\]$'
focus_main
xdotool key Home; sleep 0.3
for i in 1 2 3; do xdotool key shift+Down; sleep 0.3; done
menu f b
answer_dialog "Open" $F/mk-programs-0x4C.syx
menu p p
menu f v
answer_dialog "Save As" /tmp/built.syx
wait_for 10 test -s /tmp/built.syx
check "Save Bank As wrote the built bank" test -s /tmp/built.syx
check "the built bank is neither of its two files" sh -c "! cmp -s /tmp/built.syx $F/mk-programs-0x4C.syx && ! cmp -s /tmp/built.syx $F/ms2000-bank-0x4C.syx"
echo "built bank sha256: $(sha256sum /tmp/built.syx | cut -d' ' -f1)"

menu p n
# The question (a message box titled "Veltrix"): "&Replace All 128 Programs" confirms.
wait_for 20 titled '^Veltrix$' || echo "FAIL no question before the bank is sent"
sleep 0.5
xdotool key alt+r
start=$(now)
if wait_for 60 said "Veltrix message (information): The synthesizer answered: data load completed"; then
    echo "ok the window reports the answer 23, data load completed ($(awk "BEGIN { printf \"%.1f\", $(now) - $start }") s)"
    xdotool key Return
else
    echo "FAIL the window did not report data load completed"; failures=$((failures + 1))
fi

# Runs the menu item and waits for its transfer dialog to come and go.
transfer() { # MENU_KEY... ITEM_KEY
    n=$(visible_windows)
    menu "$@"
    wait_for 10 more_windows_than "$n"
    wait_for 60 not more_windows_than "$n"
}
# Selects library row ROW alone, then extends the selection by EXTRA rows.
select_rows() { # ROW EXTRA
    focus_main
    xdotool key Home; sleep 0.3
    [ "$1" -gt 0 ] && xdotool key --delay 10 --repeat "$1" Down
    [ "$2" -gt 0 ] && xdotool key --delay 10 --repeat "$2" shift+Down
    sleep 0.5
}

# c) One program into one slot: row 36 is C05 of the library's bank.
select_rows 36 0
menu p o
wait_for 20 titled '^Veltrix$' || echo "FAIL no slot to choose from"
sleep 0.5
xdotool key Return           # the slot offered first: the program's own, C 05
sleep 1
wait_for 20 titled '^Veltrix$' || echo "FAIL no question before the slot is written"
sleep 0.5
xdotool key alt+r
if wait_for 20 said "Veltrix message (information): Written to C 05"; then
    echo "ok the window reports the answer 21, \"Written to C 05\""
    xdotool key Return
else
    echo "FAIL the window did not report \"Written to C 05\""; failures=$((failures + 1))
fi
start=$(now)
transfer p k
echo "receive a bank into the bank pane: $(awk "BEGIN { printf \"%.1f\", $(now) - $start }") s"
menu f e
answer_dialog "Save As" /tmp/after-write.syx
wait_for 10 test -s /tmp/after-write.syx
echo "SHA after-write $(sha256sum < /tmp/after-write.syx | cut -d' ' -f1)"

# d) Three slots of the received bank changed, and only they sent.
select_rows 100 2
menu p p
menu p g
wait_for 20 titled '^Veltrix$' || echo "FAIL no question before the changed slots are sent"
sleep 0.5
xdotool key alt+r
start=$(now)
if wait_for 30 said "Veltrix message (information): All 3 changed slots were written."; then
    echo "ok the window reports 3 changed slots written ($(awk "BEGIN { printf \"%.1f\", $(now) - $start }") s)"
    xdotool key Return
else
    echo "FAIL the window did not report the 3 changed slots written"; failures=$((failures + 1))
fi
finish
