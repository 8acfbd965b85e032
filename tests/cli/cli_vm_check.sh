#!/usr/bin/env bash
# Runs veltrix-cli inside the MIDI VM against the simulated synthesizer (one VM boot per way
# the synthesizer behaves) and checks exit codes, messages, the files written and what the
# synthesizer ended up holding.
# Usage: cli_vm_check.sh MODE RUN_IN_VM VELTRIX_CLI OUT_DIR REALDATA_DIR EXAMPLES_DIR
set -u
mode=$1 run_in_vm=$2 cli=$3 out=$4 realdata=$5 examples=$6
here=$(cd "$(dirname "$0")" && pwd)
bank=$realdata/ms2000-bank-0x4C.syx
[ -f "$bank" ] || { echo "SKIP: the real dumps are not at $realdata"; exit 77; }

memory=$here/../midi/synth_memory.py
channel=1
[ "$mode" = nak ] && channel=3   # detect must find the channel by itself
started=$(date +%s)
VELTRIX_VM_SYNTH=$bank VELTRIX_VM_SYNTH_MODE=$mode VELTRIX_VM_SYNTH_CHANNEL=$channel \
VELTRIX_VM_FILES="$cli $bank $examples/Warm-Pad.syx $examples/Demo-Bank.syx" \
  "$run_in_vm" "$out" "$here/cli_vm_program.sh" "$mode"
rc=$?
log=$out/program.log
echo "--- inside the VM (exit status $rc, $(( $(date +%s) - started )) s with the boot) ---"
cat "$log"
echo "--- synthesizer ---"
cat "$out/synth.log" 2>/dev/null
echo "---"
[ "$rc" = 0 ] || { echo "FAIL: the VM program exited with $rc"; exit 1; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# expect_rc STEP CODE: the step ran and exited with CODE.
expect_rc() {
  local got
  got=$(awk -v s="$1" '$1 == "RESULT" && $2 == s { print $3 }' "$log")
  [ "$got" = "$2" ] || fail "$1 exited with '${got:-nothing}', expected $2"
}
# expect_text STEP TEXT: the output of STEP has a line containing TEXT.
expect_text() {
  awk -v s="$1" '$1 == "---" && $2 == s":" { on = 1; next } $1 == "RESULT" { on = 0 } on' "$log" | grep -F -- "$2" >/dev/null \
    || fail "$1 did not say \"$2\""
}
# expect_message STEP: STEP said why it failed, in one line.
expect_message() {
  local lines
  lines=$(awk -v s="$1" '$1 == "---" && $2 == s":" { on = 1; next } $1 == "RESULT" { on = 0 } on' "$log" | wc -l)
  [ "$lines" = 1 ] || fail "$1 should say why in one line, it printed $lines"
}
expect_fact() { grep -qxF -- "$1" "$log" || fail "expected \"$1\""; }
seconds() { awk -v s="$1" '$1 == "RESULT" && $2 == s { print $4 }' "$log"; }

case $mode in
normal)
  expect_rc ports 0
  expect_fact "$(printf 'Serial MIDI 1\tin/out')"
  expect_rc detect 0
  expect_text detect "$(printf 'Serial MIDI 1\t1\tMS2000')"
  expect_rc detect-json 0
  expect_text detect-json '{"port": "Serial MIDI 1", "channel": 1, "model": "MS2000"}'
  expect_rc current 0
  expect_fact "SIZE /tmp/out/current.syx 297"
  expect_fact "SAME /tmp/out/current.txt /tmp/out/a001.txt"
  expect_rc send-program 0
  expect_rc current-again 0
  expect_fact "SAME /tmp/out/edit.syx /files/Warm-Pad.syx"
  cmp -s "$out/synth-edit.syx" "$examples/Warm-Pad.syx" || fail "the synth's edit buffer is not Warm-Pad.syx"
  expect_message other-channel
  expect_rc other-channel 3
  expect_fact "SIZE /tmp/out/channel2.syx none"
  expect_message send-bank-unconfirmed
  expect_rc send-bank-unconfirmed 2
  expect_text send-bank-unconfirmed "--yes"
  expect_rc send-bank 0
  # Demo-Bank.syx was sent whole; then write put Warm-Pad.syx into C05, and nothing else changed.
  python3 "$memory" put "$examples/Demo-Bank.syx" C05 "$examples/Warm-Pad.syx" "$out/expected-memory.syx"
  cmp -s "$out/synth-memory.syx" "$out/expected-memory.syx" ||
    fail "the synth's memory is not Demo-Bank.syx with Warm-Pad.syx in C05, byte for byte"
  [ "$(python3 "$memory" diff "$examples/Demo-Bank.syx" "$out/synth-memory.syx")" = C05 ] ||
    fail "the write changed other slots than C05"
  expect_message write-unconfirmed
  expect_rc write-unconfirmed 2
  expect_text write-unconfirmed 'Writing "Warm Pad" to C 05 would replace "Brass Stab 2" in the synthesizer'"'"'s memory'
  expect_rc write 0
  expect_text write-known 'would replace "Warm Pad"'   # the Collection knows what was written
  [ "$(grep -c 'wrote the edit buffer to program C05 (36)' "$out/synth.log")" = 1 ] || fail "synth.log shows no single write to C05"
  expect_rc receive-bank 0
  expect_fact "SIZE /tmp/out/bank.syx 37163"
  # Received before the write: Demo-Bank.syx as it was sent.
  memory_sha=$(sha256sum < "$examples/Demo-Bank.syx" | cut -d' ' -f1)
  expect_fact "SHA bank.syx $memory_sha"
  expect_fact "SOURCES 1 synth 128"
  expect_rc export-synth 0
  expect_fact "SHA synth-source $memory_sha"
  expect_fact "FILES bank.syx current.syx edit.syx "
  echo "TIMES: receive a bank $(seconds receive-bank) s, send a bank $(seconds send-bank) s (the wire needs 11.9 s)," \
       "other channel $(seconds other-channel) s, detect with the synthesizer $(seconds detect) s," \
       "write one slot $(seconds write) s"
  ;;
silent)
  expect_message silent
  expect_rc silent 3
  expect_fact "SIZE /tmp/out/silent.syx none"
  expect_fact "FILES "
  expect_rc silent-detect 3
  expect_text silent-detect "No synthesizer answered on Serial MIDI 1 within 1 second."
  expect_rc silent-write 3
  expect_text silent-write "No answer from the synthesizer"
  cmp -s "$out/synth-memory.syx" "$bank" || fail "the silent synth's memory changed"
  echo "TIMES: detect with no answer $(seconds silent-detect) s, write with no answer $(seconds silent-write) s"
  ;;
nak)
  expect_rc nak-detect 0
  expect_text nak-detect "$(printf 'Serial MIDI 1\t3\tMS2000')"
  expect_message nak-write
  expect_rc nak-write 5
  expect_text nak-write "The synthesizer refused the write (memory protect on?)"
  cmp -s "$out/synth-memory.syx" "$bank" || fail "the protected synth's memory changed"
  grep -q "wrote the edit buffer" "$out/synth.log" && fail "the protected synth wrote a program"
  echo "TIMES: detect with the synthesizer on channel 3 $(seconds nak-detect) s, a refused write $(seconds nak-write) s"
  ;;
truncated)
  expect_message truncated
  expect_rc truncated 4
  expect_fact "SAME /tmp/out/backup.syx /files/Warm-Pad.syx"
  expect_fact "FILES backup.syx "
  ;;
garbage)
  expect_message garbage
  expect_rc garbage 4
  expect_fact "SIZE /tmp/out/garbage.syx none"
  expect_fact "FILES "
  ;;
*) fail "unknown mode $mode" ;;
esac

[ "$failures" = 0 ] || exit 1
echo "PASS: veltrix-cli against a $mode synthesizer"
