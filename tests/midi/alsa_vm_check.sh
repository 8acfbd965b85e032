#!/usr/bin/env bash
# Runs alsa_vm_check inside the MIDI VM, with the simulated synthesizer on the hardware port
# "Serial MIDI 1" at wire speed, then checks that the program saw no fault and that the bytes
# which reached the synthesizer are exactly the 40 program messages of its burst.
# Usage: alsa_vm_check.sh RUN_IN_VM_SCRIPT ALSA_VM_CHECK_BINARY OUT_DIR SYNTH_DUMP
set -u
run_in_vm=$1 program=$2 out=$3 synth_dump=$4

VELTRIX_VM_SYNTH=$synth_dump "$run_in_vm" "$out" "$program"
rc=$?
echo "--- program output (exit status $rc) ---"
cat "$out/program.log"
echo "---"
[ "$rc" = 0 ] || { echo "FAIL: alsa_vm_check exited with $rc"; exit 1; }

"$program" --expected-burst > "$out/expected.bin"
expected=$(stat -c %s "$out/expected.bin") received=$(stat -c %s "$out/midi-out.bin")
if ! cmp -s "$out/expected.bin" "$out/midi-out.bin"; then
  echo "FAIL: the synthesizer received $received bytes; the burst was $expected bytes"
  cmp "$out/expected.bin" "$out/midi-out.bin" | head -1; exit 1
fi
took=$(grep -c 'took 40, 297 bytes' "$out/synth.log")
[ "$took" = 40 ] || { echo "FAIL: the synthesizer took $took of the 40 programs"; exit 1; }
echo "PASS: all $received bytes of the 40 programs reached the synthesizer unchanged"
