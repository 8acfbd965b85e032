#!/usr/bin/env bash
# The real window in the MIDI VM against the simulated synthesizer (see window_program.sh):
# the synthesizer found on its channel, a receive of all programs saved byte for byte, a bank
# built from two files sent and stored byte for byte, one program written into C05, and three
# changed slots of a received bank written alone, in one boot.
# Usage: window_vm_check.sh RUN_IN_VM VELTRIX OUT_DIR REALDATA_DIR
set -u
run_in_vm=$1 veltrix=$2 out=$3 realdata=$4
here=$(dirname "$(readlink -f "$0")")
bank=$realdata/ms2000-bank-0x4C.syx other=$realdata/mk-programs-0x4C.syx
mkdir -p "$out"

memory=$here/../../../midi/synth_memory.py
VELTRIX_VM_X=1 VELTRIX_VM_SYNTH="$bank" VELTRIX_VM_SYNTH_CHANNEL=3 VELTRIX_VM_FILES="$veltrix $bank $other $here/../../vm/window_steps.sh" \
VELTRIX_VM_TIMEOUT=400 \
  "$run_in_vm" "$out" "$here/window_program.sh"
rc=$?
echo "--- program output (exit status $rc) ---"
cat "$out/program.log"
echo "--- synth.log ---"
cat "$out/synth.log" 2>/dev/null
echo "---"
[ "$rc" = 0 ] || { echo "FAIL: the window test exited with $rc"; exit 1; }
grep -q "took universal 06 01, device inquiry" "$out/synth.log" || { echo "FAIL: no device inquiry reached the synth"; exit 1; }
grep -q "ignored: channel" "$out/synth.log" && { echo "FAIL: the window sent on another channel than the one found"; exit 1; }
# Slots A01-A04 of mk-programs-0x4C.syx hold programs A01-A04 of ms2000-bank-0x4C.syx: the bank
# sent; then C05 got program C05 of ms2000-bank-0x4C.syx, and that was received.
python3 "$memory" splice "$other" "$bank" 0 4 "$out/expected-bank.syx" || exit 1
python3 "$memory" put "$out/expected-bank.syx" C05 "$bank" 36 "$out/expected-after-write.syx" || exit 1
[ "$(python3 "$memory" diff "$out/expected-bank.syx" "$out/expected-after-write.syx")" = C05 ] || exit 1
# Received as it came, on channel 3.
python3 -c 'import sys; d = bytearray(open(sys.argv[1], "rb").read()); d[2] = 0x32; open(sys.argv[2], "wb").write(d)' \
  "$out/expected-after-write.syx" "$out/expected-received.syx" || exit 1
if ! grep -qx "SHA after-write $(sha256sum < "$out/expected-received.syx" | cut -d' ' -f1)" "$out/program.log"; then
  echo "FAIL: after Send to Synth Slot the synthesizer's memory is not the bank sent with C05 written, byte for byte"
  exit 1
fi
# Then A01-A03 of that received bank got programs G05-G07, and only they were written.
python3 "$memory" put "$out/expected-after-write.syx" A01 "$bank" 100 "$out/expected-final.syx" &&
python3 "$memory" put "$out/expected-final.syx" A02 "$bank" 101 "$out/expected-final.syx" &&
python3 "$memory" put "$out/expected-final.syx" A03 "$bank" 102 "$out/expected-final.syx" || exit 1
if ! cmp "$out/expected-final.syx" "$out/synth-memory.syx"; then
  echo "FAIL: after Send Changed Slots the synthesizer's memory is not the received bank with A01-A03 changed"; exit 1
fi
after_receive=$(awk '/took 1C/ { line = NR } END { print line }' "$out/synth.log")
writes=$(awk -v from="$after_receive" 'NR > from && /wrote the edit buffer to program/' "$out/synth.log" | wc -l)
banks=$(awk -v from="$after_receive" 'NR > from && /took 4C/' "$out/synth.log" | wc -l)
[ "$writes" = 3 ] && [ "$banks" = 0 ] ||
  { echo "FAIL: Send Changed Slots made $writes writes and sent $banks banks (expected 3 writes, no bank)"; exit 1; }
echo "PASS: the window found the synthesizer on channel 3, received all programs and saved them byte for byte;" \
     "the bank built from two files is the synthesizer's memory byte for byte; Send to Synth Slot changed" \
     "exactly C05; Send Changed Slots wrote exactly the three changed slots and no bank"
