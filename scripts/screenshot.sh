#!/usr/bin/env bash
# Saves a picture of the main window with the demo bank loaded and Find marking, rendered
# offscreen: build/screenshot.png, or the path given.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
out=${1:-build/screenshot.png}
QT_QPA_PLATFORM=offscreen build/tests/ui/frame/frame_screenshot "$out" examples
