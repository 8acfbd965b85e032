#!/bin/sh
# Runs inside the MIDI VM (busybox sh): drives veltrix-cli against the simulated synthesizer
# on "Serial MIDI 1" and prints what happened, one fact a line, for cli_vm_check.sh:
#   RESULT <step> <exit status> <seconds>   after each command (its output comes before)
#   SIZE <file> <bytes>, SAME <file> <other>, DIFFER <file> <other>, SHA <file> <sha256>
#   SOURCES <sources in the Collection> <kind and programs of each>
#   FILES <names left in the output folder>
# Usage: cli_vm_program.sh normal|silent|truncated|garbage|nak
mode=$1
cli=/files/veltrix-cli
o=/tmp/out
mkdir -p $o

now() { cut -d' ' -f1 /proc/uptime; }
run() {
  step=$1; shift
  echo "--- $step: veltrix-cli $*"
  start=$(now)
  # Through a file: the VM's console is a terminal, and progress lines are for people.
  "$cli" "$@" > /tmp/step.log 2>&1
  rc=$?
  cat /tmp/step.log
  echo "RESULT $step $rc $(awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }')"
}
size() { if [ -f "$1" ]; then echo "SIZE $1 $(wc -c < "$1")"; else echo "SIZE $1 none"; fi; }
same() { if cmp -s "$1" "$2"; then echo "SAME $1 $2"; else echo "DIFFER $1 $2"; fi; }
files() { echo "FILES $(ls -A $o | tr '\n' ' ')"; }

case $mode in
normal)
  run ports ports
  run detect detect
  run detect-json detect --json
  run current receive --current -o $o/current.syx
  size $o/current.syx
  "$cli" list $o/current.syx | cut -f4,5 > $o/current.txt
  "$cli" list /files/ms2000-bank-0x4C.syx | head -n 1 | cut -f4,5 > $o/a001.txt
  same $o/current.txt $o/a001.txt
  run send-program send /files/Warm-Pad.syx
  run current-again receive --port "serial midi 1" --current -o $o/edit.syx
  same $o/edit.syx /files/Warm-Pad.syx
  run other-channel receive --channel 2 --programs -o $o/channel2.syx
  size $o/channel2.syx
  run send-bank-unconfirmed send /files/Demo-Bank.syx
  run send-bank send --yes /files/Demo-Bank.syx
  run receive-bank receive --collection /tmp/c.sqlite --programs -o $o/bank.syx
  size $o/bank.syx
  same $o/bank.syx /files/Demo-Bank.syx
  echo "SHA bank.syx $(sha256sum < $o/bank.syx | cut -d' ' -f1)"
  # The receive is kept in the Collection as a synth source, exported again byte for byte.
  "$cli" sources --collection /tmp/c.sqlite > /tmp/sources.txt
  echo "SOURCES $(wc -l < /tmp/sources.txt) $(cut -f2,3 /tmp/sources.txt | tr '\t' ' ')"
  run export-synth export --collection /tmp/c.sqlite --source "$(cut -f1 /tmp/sources.txt | head -n 1)" -o /tmp/synth.syx
  echo "SHA synth-source $(sha256sum < /tmp/synth.syx | cut -d' ' -f1)"
  # One program into C05 of the bank just received; the Collection follows the write.
  run write-unconfirmed write --collection /tmp/c.sqlite --slot C05 /files/Warm-Pad.syx
  run write write --collection /tmp/c.sqlite --yes --slot c05 /files/Warm-Pad.syx
  run write-known write --collection /tmp/c.sqlite --slot C05 /files/Warm-Pad.syx
  rm -f $o/current.txt $o/a001.txt
  ;;
silent)
  run silent receive --programs -o $o/silent.syx
  size $o/silent.syx
  run silent-detect detect
  run silent-write write --yes --slot C05 /files/Warm-Pad.syx
  ;;
nak)
  # The synthesizer listens on channel 3, with its memory protected.
  run nak-detect detect
  run nak-write write --yes --channel 3 --slot C05 /files/Warm-Pad.syx
  ;;
truncated)
  # An earlier backup is there: a failed receive must leave it as it was.
  cp /files/Warm-Pad.syx $o/backup.syx
  run truncated receive --programs -o $o/backup.syx
  same $o/backup.syx /files/Warm-Pad.syx
  ;;
garbage)
  run garbage receive --current -o $o/garbage.syx
  size $o/garbage.syx
  ;;
esac
files
