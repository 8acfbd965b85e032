#!/usr/bin/env bash
# Saves pictures of the main window, rendered offscreen: with the demo bank loaded and Find
# marking (build/screenshot.png, or the first path given), and with the Collection view open
# over the real dumps of ../shared/realdata (build/collection.png, or the second path given),
# and the History window comparing the real MS2000 bank with an edited receive of it
# (build/history.png, or the third path given), and the Program Editor on a program of the real
# MS2000 bank (build/editor.png, or the fourth).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
cmake --build build --target frame_screenshot collection_screenshot history_screenshot editor_screenshot >/dev/null
out=${1:-build/screenshot.png}
collection_out=${2:-build/collection.png}
history_out=${3:-build/history.png}
editor_out=${4:-build/editor.png}
QT_QPA_PLATFORM=offscreen build/tests/ui/frame/frame_screenshot "$out" examples
if [ -d ../shared/realdata ]; then
  QT_QPA_PLATFORM=offscreen build/tests/ui/collection/collection_screenshot "$collection_out" ../shared/realdata
  QT_QPA_PLATFORM=offscreen build/tests/ui/collection/history_screenshot "$history_out" ../shared/realdata
  QT_QPA_PLATFORM=offscreen build/tests/ui/editor/editor_screenshot "$editor_out" ../shared/realdata
else
  echo "no real dumps at ../shared/realdata: the Collection, History and editor pictures are left out" >&2
fi
