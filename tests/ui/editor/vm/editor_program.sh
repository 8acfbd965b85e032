#!/bin/sh
# Runs inside the MIDI VM with an X display (VELTRIX_VM_X=1) and the simulated synthesizer on
# "Serial MIDI 1", started from ms2000-bank-0x4C.syx. Drives the real window with keys only.
# EDITOR_PHASE says what to do:
#   follow  Midi Active, Program > Follow Synthesizer, the bank opened in the list; then the
#           synthesizer's panel (a panel file) chooses A10 and turns two knobs: the status bar
#           names A 10, and the program, with both knobs in it, is saved from the editor
#           (Ctrl+Shift+S) as /tmp/followed.syx. Then A01 is auditioned (Return in the list)
#           and edited by keys:
#           Ctrl+E, "cutoff" Return "99" Return, "arp tempo" 150, "filter type" 12HPF,
#           "transpose" -12, "osc2 wave" Tri, each with Escape back to the find field, and
#           saved as /tmp/edited.syx. Both files are printed in hex for the script outside.
#   nak     Midi Active, the bank, A01 auditioned (Return), Ctrl+E "cutoff" Return "99" Return: the
#           synthesizer refuses (memory protect): the status bar says so, and nothing else is
#           told.
# Files in /files: veltrix, ms2000-bank-0x4C.syx, window_steps.sh.
# Prints "ok ..." or "FAIL ..." per step; exits 0 when all passed.

F=/files
LOG=/tmp/veltrix.log
export VELTRIX_ECHO_MESSAGES=1 QT_QPA_PLATFORM=xcb
. /files/window_steps.sh

keys() { for k in "$@"; do xdotool key "$k"; sleep 0.25; done; }
# Text typed as keys; a leading minus would be taken for an option of xdotool.
typed() {
    text=$1
    case $text in -*) xdotool key minus; text=${text#-} ;; esac
    xdotool type --delay 40 "$text"; sleep 0.3
}
# The editor's find field, a parameter found, a value typed into its control, back to the field.
set_parameter() { # FIND VALUE
    typed "$1"; keys Return
    typed "$2"; keys Return Escape
}
# Saves the editor's program with Ctrl+Shift+S (the pane has the keyboard) and prints it in hex.
save_program() { # PATH LABEL
    menu p e; sleep 0.3; xdotool key a   # Program > Edited Program > Save Program As...
    answer_dialog "Save As" "$1"
    wait_for 10 test -s "$1"
    check "the editor saved $1 ($(wc -c < "$1") bytes)" test "$(wc -c < "$1")" = 297
    echo "$2: $(hexdump -v -e '1/1 "%02x"' "$1")"
}

/files/veltrix > "$LOG" 2>&1 &
pid=$!
wait_for 60 titled '^Veltrix$' || { echo "FAIL the window did not open"; failures=1; finish; }
sleep 2
echo "window up at $(now) s"

# Midi Active: from the library grid, Tab reaches the port list, the channel list and the box.
focus_main
keys Tab Tab Tab space shift+Tab shift+Tab shift+Tab
check "Midi Active ticked without a message" sh -c "! grep -q 'Veltrix message' $LOG"
if [ "$EDITOR_PHASE" = follow ]; then
    menu p w    # Program > Follow Synthesizer
    wait_for 10 said "Veltrix status: Following the synthesizer"
    check "Follow Synthesizer is ticked and the port's input read" said "Veltrix status: Following the synthesizer"
fi
focus_main
xdotool key ctrl+o
answer_dialog "Open" $F/ms2000-bank-0x4C.syx
wait_for 30 titled '^Veltrix - \[ms2000-bank-0x4C.syx\]$'
check "the bank is open in the list" titled '^Veltrix - \[ms2000-bank-0x4C.syx\]$'

if [ "$EDITOR_PHASE" = follow ]; then
    # The panel chooses A10 at 75 s and turns two knobs at 78 s and 80 s.
    later_than 73 && echo "FAIL the window was ready only at $(now) s, after the panel began"
    if wait_for 90 said "Veltrix status: Synth: A 10"; then
        echo "ok the program chosen on the synthesizer is named in the status bar: $(grep -o 'Synth: A 10.*' $LOG | head -1)"
    else
        echo "FAIL no \"Synth: A 10\" in the status bar"; failures=$((failures + 1))
    fi
    wait_for 40 later_than 82
    sleep 1
    save_program /tmp/followed.syx followed

    # A01 auditioned, then edited by keys.
    focus_main
    keys Home Down Up Return   # A01 selected, and auditioned
    sleep 1
    keys ctrl+e
    set_parameter cutoff 99
    set_parameter "arp tempo" 150
    set_parameter "filter type" 12HPF
    set_parameter transpose -12
    set_parameter "osc2 wave" Tri
    sleep 1
    save_program /tmp/edited.syx edited
    check "nothing was refused or unanswered" sh -c "! grep -q 'refused\|does not answer' $LOG"
else
    focus_main
    keys Home Down Up Return   # A01 selected, and auditioned
    sleep 1
    keys ctrl+e
    set_parameter cutoff 99
    if wait_for 10 said "Veltrix status: The synthesizer refused the change: memory protect on, or a value it does not take"; then
        echo "ok the refusal is in the status bar"
    else
        echo "FAIL the refusal was not told"; failures=$((failures + 1))
    fi
    sleep 1
    check "nothing else was told: no message box, no other note" \
        sh -c "! grep 'Veltrix message\|Veltrix status' $LOG | grep -v 'refused the change'"
fi
finish
