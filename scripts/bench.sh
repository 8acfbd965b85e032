#!/usr/bin/env bash
# Builds the benchmarks (Release, build-bench) and runs them all; each ends with its figures
# against their limits. Extra arguments go to every benchmark program, for example
#   bash scripts/bench.sh --benchmark_filter=Sort
# With --big, only the Collection's benchmarks run, at a lifetime's size: 10,000 dumps,
# 1,280,000 programs, against the limits for that size. Their dumps are made once into a
# cache folder (VELTRIX_BENCH_CACHE, else ~/.cache/veltrix-bench; about 400 MB) and kept
# for later runs. The big run takes a while and works both cores hard: run it with nice.
set -euo pipefail
cd "$(dirname "$0")/.."
big=0
args=()
for arg in "$@"; do
  if [[ $arg == --big ]]; then big=1; else args+=("$arg"); fi
done
build_dir=build-bench
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTRIX_BUILD_BENCH=ON \
  -DVELTRIX_BUILD_TESTS=OFF >/dev/null
collection_benches=(bench_collection bench_collection_view bench_collection_cli bench_collection_window)
cmake --build "$build_dir" --target bench_data bench_library bench_cli bench_editor "${collection_benches[@]}" veltrix-cli veltrix
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(free -g | awk '/^Mem:/ {print $2}') GB"
echo "Load before: $(uptime)"
if [[ $big == 1 ]]; then
  export VELTRIX_BENCH_BIG=1
  echo "The big run: 10,000 dumps, 1,280,000 programs"
else
  "$build_dir/bench/bench_data" "${args[@]}"
  QT_QPA_PLATFORM=offscreen "$build_dir/bench/bench_library" "${args[@]}"
  "$build_dir/bench/bench_cli" "${args[@]}"
  QT_QPA_PLATFORM=offscreen "$build_dir/bench/bench_editor" "${args[@]}"
fi
for bench in "${collection_benches[@]}"; do
  QT_QPA_PLATFORM=offscreen "$build_dir/bench/$bench" "${args[@]}"
  echo "Load after $bench: $(uptime)"
done
