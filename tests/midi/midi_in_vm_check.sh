#!/usr/bin/env bash
# Runs midi_in_vm_check inside the MIDI VM with the simulated synthesizer on "Serial MIDI 1",
# started from START_DUMP: receives, sends SEND_DUMP as a bank, watches a port come and go.
# Then checks that the synthesizer's memory is SEND_DUMP byte for byte.
# Usage: midi_in_vm_check.sh RUN_IN_VM_SCRIPT MIDI_IN_VM_CHECK_BINARY OUT_DIR START_DUMP SEND_DUMP
set -u
run_in_vm=$1 program=$2 out=$3 start=$4 send=$5

VELTRIX_VM_SYNTH="$start" VELTRIX_VM_FILES="$start $send" \
  "$run_in_vm" "$out" "$program" "/files/$(basename "$start")" "/files/$(basename "$send")"
rc=$?
echo "--- program output (exit status $rc) ---"
cat "$out/program.log"
echo "--- synth.log ---"
cat "$out/synth.log" 2>/dev/null
echo "---"
[ "$rc" = 0 ] || { echo "FAIL: midi_in_vm_check exited with $rc"; exit 1; }
if ! cmp -s "$send" "$out/synth-memory.syx"; then
  echo "FAIL: the synthesizer's memory is not the bank that was sent"; exit 1
fi
echo "PASS: received the synthesizer's programs and current program, its memory is the sent bank," \
     "and the watcher saw a port come and go"
