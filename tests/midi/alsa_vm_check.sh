#!/usr/bin/env bash
# Runs alsa_vm_check inside the MIDI VM and checks that exactly the VM's hardware port
# "Serial MIDI 1" was listed and that the bytes which reached it are the sent message.
# Usage: alsa_vm_check.sh RUN_IN_VM_SCRIPT ALSA_VM_CHECK_BINARY OUT_DIR
set -u
run_in_vm=$1 program=$2 out=$3

"$run_in_vm" "$out" "$program"
rc=$?
echo "--- program output (exit status $rc) ---"
cat "$out/program.log"
echo "---"
[ "$rc" = 0 ] || { echo "FAIL: alsa_vm_check exited with $rc"; exit 1; }

ports=$(grep '^port ' "$out/program.log" | cut -d' ' -f3-)
if [ "$ports" != "Serial MIDI 1" ]; then
  echo "FAIL: expected exactly the port \"Serial MIDI 1\", listed:"; echo "$ports"; exit 1
fi

sent=$(grep '^sent ' "$out/program.log" | head -1 | cut -d' ' -f2- | tr -d ' \r' | tr 'A-F' 'a-f')
received=$(od -An -v -tx1 "$out/midi-out.bin" | tr -d ' \n')
if [ -z "$sent" ] || [ "$sent" != "$received" ]; then
  echo "FAIL: the bytes at the hardware port differ from the sent message"
  echo "sent:     $sent"; echo "received: $received"; exit 1
fi
echo "PASS: $(( ${#sent} / 2 )) bytes reached \"Serial MIDI 1\" unchanged"
