#!/usr/bin/env bash
# Fuzzes the dump reader for SECONDS seconds (default 60) with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer:  bash scripts/fuzz.sh SECONDS
# Builds the clang fuzz build in build-fuzz; the corpus grows in build-fuzz/fuzz-run/corpus
# from run to run, and a crash is saved as build-fuzz/fuzz-run/crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build_dir=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELTRIX_BUILD_UI=OFF -DVELTRIX_BUILD_TESTS=OFF -DVELTRIX_FUZZ=ON >/dev/null
cmake --build "$build_dir" --target fuzz_syx_reader

log="$build_dir/fuzz-run/fuzz.log"
mkdir -p "$build_dir/fuzz-run"
start=$(date +%s)
status=0
bash tests/fuzz/run-fuzzer.sh "$build_dir/tests/fuzz/fuzz_syx_reader" "$build_dir/fuzz-run" \
  -max_total_time="$seconds" >"$log" 2>&1 || status=$?
end=$(date +%s)

grep -E '^(Done|stat::)|ERROR|check failed' "$log" || true
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
echo "Fuzzed for $((end - start)) s, ${runs:-?} executions, exit status $status (log: $log)"
exit "$status"
