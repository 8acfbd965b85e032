#!/usr/bin/env bash
# Regenerates the demo files in examples/ with the project's own code.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
build/examples/make_examples examples
