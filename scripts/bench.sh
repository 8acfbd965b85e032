#!/usr/bin/env bash
# Builds the benchmarks (Release, build-bench) and runs them all; each ends with its figures
# against their limits. Extra arguments go to every benchmark program, for example
#   bash scripts/bench.sh --benchmark_filter=Sort
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=build-bench
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTRIX_BUILD_BENCH=ON \
  -DVELTRIX_BUILD_TESTS=OFF >/dev/null
cmake --build "$build_dir" --target bench_data bench_library bench_collection bench_collection_view bench_cli
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(free -g | awk '/^Mem:/ {print $2}') GB"
"$build_dir/bench/bench_data" "$@"
QT_QPA_PLATFORM=offscreen "$build_dir/bench/bench_library" "$@"
"$build_dir/bench/bench_collection" "$@"
QT_QPA_PLATFORM=offscreen "$build_dir/bench/bench_collection_view" "$@"
"$build_dir/bench/bench_cli" "$@"
