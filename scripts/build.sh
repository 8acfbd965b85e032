#!/usr/bin/env bash
# Configures and builds Veltrix into build/ (or $VELTRIX_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${VELTRIX_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja "$@" >/dev/null
cmake --build "$build_dir"
