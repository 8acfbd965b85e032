#!/usr/bin/env bash
# Builds the Debian package from an already built tree with scripts/package.sh and checks it:
# its name, the files it installs, its control fields and declared dependencies, the desktop
# entry taking files, and that shared-mime-info reads its .syx type.
#   check-package.sh SOURCE_DIR BUILD_DIR VERSION
set -uo pipefail
source_dir=$1
build_dir=$2
version=$3
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
VELTRIX_PACKAGE_BUILD_DIR=$build_dir bash "$source_dir/scripts/package.sh" "$work/out" >"$work/package.log" 2>&1 \
  || { cat "$work/package.log" >&2; exit 1; }
deb="$work/out/veltrix_${version}_amd64.deb"
[ -f "$deb" ] || { echo "FAIL: no $(basename "$deb") among: $(ls "$work/out")" >&2; exit 1; }

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
expected_files=(
  ./usr/bin/veltrix
  ./usr/bin/veltrix-cli
  ./usr/share/applications/veltrix.desktop
  ./usr/share/mime/packages/veltrix.xml
)
for size in 16 32 48 64 128 256; do
  expected_files+=("./usr/share/icons/hicolor/${size}x${size}/apps/veltrix.png")
done
for file in "${expected_files[@]}"; do
  grep -qx -- "$file" <<<"$contents" || fail "the package lacks $file"
done
outside=$(grep -v '^\./$' <<<"$contents" | grep -v '^\./usr/' || true)
[ -z "$outside" ] && : || fail "files outside /usr: $outside"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = veltrix ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)'"
[ "$(field Architecture)" = amd64 ] || fail "Architecture is '$(field Architecture)'"
[[ "$(field Description)" == *";"* ]] && fail "the description holds a CMake list separator"
depends=$(field Depends)
echo "Depends: $depends"
for package in libqt6widgets6 libqt6gui6 libqt6core6 libasound2 libc6 libstdc++6 qt6-qpa-plugins; do
  [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] || fail "Depends does not name $package"
done
grep -Eq 'libasan|libubsan' <<<"$depends" && fail "Depends names a sanitizer run-time"

mkdir "$work/root"
dpkg-deb -x "$deb" "$work/root"
desktop="$work/root/usr/share/applications/veltrix.desktop"
grep -qx 'Exec=veltrix %F' "$desktop" || fail "the desktop entry does not take files"
grep -qx 'MimeType=application/x-sysex;' "$desktop" || fail "the desktop entry names no .syx type"
readelf -S "$work/root/usr/bin/veltrix" | grep -q "\.debug_info" && fail "veltrix is not stripped"

# shared-mime-info builds its database from the package's XML alone and maps *.syx to the type.
if command -v update-mime-database >/dev/null; then
  update-mime-database "$work/root/usr/share/mime" >/dev/null 2>&1 || fail "update-mime-database refused the XML"
  grep -qx 'application/x-sysex' "$work/root/usr/share/mime/types" 2>/dev/null || fail "no application/x-sysex type"
  grep -q '^50:application/x-sysex:\*\.syx' "$work/root/usr/share/mime/globs2" 2>/dev/null \
    || fail "*.syx does not map to application/x-sysex"
else
  echo "update-mime-database is not installed: the MIME check is left out"
fi

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "package $(basename "$deb") checked"
