#!/usr/bin/env bash
# Runs the reader's fuzz target over a seed corpus made in WORK_DIR:
#   run-fuzzer.sh FUZZER WORK_DIR [libFuzzer options...]
# The seeds are the project's example dumps, the real dumps in ../shared/realdata (when
# present) and a few tiny hand-made messages; inputs the fuzzer finds go to WORK_DIR/corpus,
# crashes to WORK_DIR/crash-*. With VELTRIX_FUZZ_FRESH=1 the corpus starts empty, so that a
# fixed-count run does the same work every time.
set -euo pipefail
fuzzer=$1
work=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

seeds="$work/seeds"
rm -rf "$seeds"
if [ "${VELTRIX_FUZZ_FRESH:-0}" = 1 ]; then rm -rf "$work/corpus"; fi
mkdir -p "$seeds" "$work/corpus"
cp "$root"/examples/*.syx "$seeds"/
if compgen -G "$root/../shared/realdata/*.syx" >/dev/null; then
  for f in "$root"/../shared/realdata/*.syx; do cp "$f" "$seeds/real-$(basename "$f")"; done
fi

# Hand seeds: the edges of the header check and of a one-program message.
header='\xF0\x42\x30\x58'
: >"$seeds/empty"
printf "$header" >"$seeds/header-4-bytes"
printf "${header}\x40" >"$seeds/header-only"
printf "${header}\x40\xF7" >"$seeds/end-at-once"
printf "${header}\x50\xF7" >"$seeds/all-data-end-at-once"
printf '\xF0\x42\x20\x58\x40\xF7' >"$seeds/wrong-channel-nibble"
{ printf "${header}\x40"; head -c 291 /dev/zero; printf '\xF7'; } >"$seeds/one-zero-program"
{ printf "${header}\x40"; head -c 291 /dev/zero; printf '\x00\xF7'; } >"$seeds/one-extra-byte"
{ printf "${header}\x40"; head -c 290 /dev/zero; printf '\xF7'; } >"$seeds/one-byte-short"

exec "$fuzzer" -dict="$here/syx.dict" -artifact_prefix="$work/" -print_final_stats=1 "$@" \
  "$work/corpus" "$seeds"
