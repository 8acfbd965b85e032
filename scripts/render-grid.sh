#!/usr/bin/env bash
# Renders a populated program grid (a hidden file column, marked rows, two rows selected)
# to <build folder>/grid.png, offscreen, for a look by eye.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${VELTRIX_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja >/dev/null
cmake --build "$build_dir" --target render_grid
QT_QPA_PLATFORM=offscreen "$build_dir/tests/ui/grid/render_grid" "$build_dir/grid.png"
