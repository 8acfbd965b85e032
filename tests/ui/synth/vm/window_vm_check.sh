#!/usr/bin/env bash
# The real window in the MIDI VM against the simulated synthesizer (see window_program.sh):
# a receive of all programs saved byte for byte, and a bank built from two files sent and
# stored byte for byte, in one boot.
# Usage: window_vm_check.sh RUN_IN_VM VELTRIX OUT_DIR REALDATA_DIR
set -u
run_in_vm=$1 veltrix=$2 out=$3 realdata=$4
here=$(dirname "$(readlink -f "$0")")
bank=$realdata/ms2000-bank-0x4C.syx other=$realdata/mk-programs-0x4C.syx
mkdir -p "$out"

VELTRIX_VM_X=1 VELTRIX_VM_SYNTH="$bank" VELTRIX_VM_FILES="$veltrix $bank $other" VELTRIX_VM_TIMEOUT=400 \
  "$run_in_vm" "$out" "$here/window_program.sh"
rc=$?
echo "--- program output (exit status $rc) ---"
cat "$out/program.log"
echo "--- synth.log ---"
cat "$out/synth.log" 2>/dev/null
echo "---"
[ "$rc" = 0 ] || { echo "FAIL: the window test exited with $rc"; exit 1; }
# Slots A01-A04 of mk-programs-0x4C.syx hold programs A01-A04 of ms2000-bank-0x4C.syx.
python3 "$here/expected_bank.py" "$other" "$bank" 0 4 "$out/expected-bank.syx" || exit 1
if ! cmp "$out/expected-bank.syx" "$out/synth-memory.syx"; then
  echo "FAIL: the synthesizer's memory is not the bank built in the window"; exit 1
fi
echo "PASS: the window received all programs and saved them byte for byte; the bank built from" \
     "two files is the synthesizer's memory byte for byte, and the window reported data load completed"
