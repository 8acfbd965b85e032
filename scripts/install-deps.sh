#!/usr/bin/env bash
# Installs the Debian packages Veltrix needs to build, run and test.
# Does nothing for packages that are already there; uses sudo when not root.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config          # tool chain
  qt6-base-dev libgl-dev fonts-dejavu-core   # the window, and a font for offscreen rendering
  libasound2-dev                            # the ALSA sequencer backend
  libsqlite3-dev                            # the Collection's database (collection/)
  libgtest-dev libgmock-dev                 # tests
  xvfb xauth                                # screenshots and a real window without a desktop
  openbox xdotool x11-utils                 # real-window tests (tests/xvfb): a window manager that
                                            # frames the window, keys sent to it, its geometry read back
  qemu-system-x86 busybox-static            # the MIDI VM used by the ALSA end-to-end test
  python3                                   # the simulated synthesizer on the MIDI VM's cable (synth.py),
                                            # and the man pages made from docs/ (packaging/markdown-to-man.py)
  x11-apps x11-xkb-utils                    # the MIDI VM's X display for the window's VM test (xwd, xkbcomp)
  clang libclang-rt-14-dev                  # libFuzzer and its sanitizer runtimes, to fuzz the dump reader
  libbenchmark-dev                          # Google Benchmark, for the speed and memory benchmarks in bench/
  dpkg-dev shared-mime-info                 # the Debian package: dpkg-shlibdeps for its dependencies, the .syx type check
  lintian appstream                         # the package test: Debian's package checks, the AppStream metainfo check
  groff-base                                # the package test: the man pages render without warnings
)

missing=()
for package in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
