#!/usr/bin/env bash
# From a fresh Debian 12 machine to a running Veltrix window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Veltrix is built (build/ui/veltrix), but there is no display to open its window on."
  echo "Run it from a desktop session, or under Xvfb: xvfb-run build/ui/veltrix"
  exit 1
fi
exec build/ui/veltrix
