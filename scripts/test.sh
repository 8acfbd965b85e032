#!/usr/bin/env bash
# Installs what is missing, builds Veltrix and runs every test. Then runs the tests of the
# libraries and veltrix-cli again under AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer (build-asan), and a short pass of the dump reader's fuzz target when clang's
# fuzzer runtime is there (build-fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

# Runs ctest in a build folder and adds its count of passed tests to the total.
passed=0
run_ctest() {
  local folder=$1; shift
  local log
  log=$(mktemp)
  (cd "$folder" && ctest --output-on-failure "$@") | tee "$log"
  local count
  count=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
  rm -f "$log"
  passed=$((passed + ${count:-0}))
}
bash scripts/install-deps.sh
bash scripts/build.sh
QT_QPA_PLATFORM=offscreen run_ctest build -j2

# The sanitizer pass, over everything that reads files, messages and the database: the
# libraries and veltrix-cli with their tests. The window's tests ran above; building the
# window a second time for them would double the time of this command. The options are
# exported for the build too, since test discovery runs the test programs at build time. The
# VM checks already ran above: neither they nor their programs are part of it.
echo "== Sanitizer pass (build-asan)"
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELTRIX_SANITIZE=ON -DVELTRIX_VM_TESTS=OFF \
  -DVELTRIX_BUILD_UI=OFF >/dev/null
cmake --build build-asan
run_ctest build-asan -j2 -LE vm

# A fixed-count fuzz pass, only where clang can link a fuzzer (libclang-rt-14-dev).
fuzzer_probe=$(mktemp -d)
trap 'rm -rf "$fuzzer_probe"' EXIT
printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' \
  >"$fuzzer_probe/probe.cpp"
if command -v clang++ >/dev/null \
   && clang++ -fsanitize=fuzzer "$fuzzer_probe/probe.cpp" -o "$fuzzer_probe/probe" 2>/dev/null; then
  echo "== Fuzz pass (build-fuzz)"
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELTRIX_BUILD_UI=OFF -DVELTRIX_BUILD_TESTS=OFF -DVELTRIX_FUZZ=ON >/dev/null
  cmake --build build-fuzz --target fuzz_syx_reader
  run_ctest build-fuzz -L fuzz
else
  echo "== Fuzz pass skipped: clang's fuzzer runtime is not installed"
fi

echo "total: $passed passed, 0 failed"
