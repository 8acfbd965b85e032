#!/usr/bin/env bash
# Builds the Debian package veltrix_<version>-<revision>_amd64.deb into FOLDER (default: the current
# folder):  bash scripts/package.sh [FOLDER]
# The build is a Release build without tests in build-package/ (VELTRIX_PACKAGE_BUILD_DIR
# names another, already configured, build folder). Install the result with
#   sudo apt install ./veltrix_<version>-<revision>_amd64.deb
set -euo pipefail
out=$(realpath -m "${1:-.}")
cd "$(dirname "$0")/.."
build_dir=${VELTRIX_PACKAGE_BUILD_DIR:-build-package}

if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  # Debian's compiler and linker flags, all hardening on (fortified functions, full RELRO,
  # bind now), as a Debian package build would use them.
  debian_flags=()
  if command -v dpkg-buildflags >/dev/null; then
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    debian_flags=(
      "-DCMAKE_C_FLAGS=$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
      "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
      "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)"
    )
  fi
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTRIX_BUILD_TESTS=OFF \
    "${launcher[@]}" "${debian_flags[@]}" >/dev/null
fi
cmake --build "$build_dir" --target veltrix veltrix-cli veltrix_icons veltrix_man

mkdir -p "$out"
work=$(mktemp -d "$out/.cpack.XXXXXX")
trap 'rm -rf "$work"' EXIT
(cd "$build_dir" && cpack -G DEB -B "$work" >"$work/cpack.log") || { cat "$work/cpack.log" >&2; exit 1; }
for deb in "$work"/*.deb; do
  mv "$deb" "$out/"
  echo "$out/$(basename "$deb")"
done
