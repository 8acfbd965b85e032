#!/usr/bin/env bash
# Builds the Debian package from an already built tree with scripts/package.sh and checks it:
# its name, the files it installs (the programs, their man pages, the completion, the AppStream
# metainfo, ...), its control fields and declared dependencies, the desktop entry taking files,
# that shared-mime-info reads its .syx type, that lintian finds nothing to say and that
# appstreamcli accepts the metainfo, that both programs print the release, and that the man
# pages and the changelog agree with it.
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
deb="$work/out/veltrix_${version}-1_amd64.deb"
[ -f "$deb" ] || { echo "FAIL: no $(basename "$deb") among: $(ls "$work/out")" >&2; exit 1; }

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
expected_files=(
  ./usr/bin/veltrix
  ./usr/bin/veltrix-cli
  ./usr/share/applications/veltrix.desktop
  ./usr/share/mime/packages/veltrix.xml
  ./usr/share/man/man1/veltrix.1.gz
  ./usr/share/man/man1/veltrix-cli.1.gz
  ./usr/share/metainfo/org.veltrix.veltrix.metainfo.xml
  ./usr/share/bash-completion/completions/veltrix-cli
  ./usr/share/veltrix/user-guide.md
  ./usr/share/veltrix/veltrix-cli.md
  ./usr/share/veltrix/collection.png
  ./usr/share/veltrix/editor.png
  ./usr/share/veltrix/history.png
  ./usr/share/doc/veltrix/copyright
  ./usr/share/doc/veltrix/changelog.Debian.gz
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
[ "$(field Version)" = "$version-1" ] || fail "Version is '$(field Version)'"
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

# Both programs print the release; the window without a display.
root_bin=$work/root/usr/bin
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$root_bin/veltrix" --version)" = "veltrix $version" ] \
  || fail "veltrix --version does not print 'veltrix $version'"
[ "$("$root_bin/veltrix-cli" --version)" = "veltrix-cli $version" ] || fail "veltrix-cli --version does not print the release"

# The man pages render without complaint and name the release; the changelog's latest entry
# is this version.
for page in veltrix veltrix-cli; do
  man_file="$work/root/usr/share/man/man1/$page.1.gz"
  [ -f "$man_file" ] || continue
  warnings=$(zcat "$man_file" | LC_ALL=C.UTF-8 groff -man -ww -z -Tutf8 2>&1)
  [ -z "$warnings" ] || fail "groff warns about $page.1: $warnings"
  zcat "$man_file" | grep "^\.TH \"${page^^}\" \"1\" \"\" \"Veltrix $version\"" >/dev/null || fail "$page.1 does not name release $version"
done
changelog="$work/root/usr/share/doc/veltrix/changelog.Debian.gz"
[ -f "$changelog" ] && { zcat "$changelog" | sed -n 1p | grep "^veltrix ($version-1) " >/dev/null || fail "the changelog's latest entry is not $version-1"; }

# Every command veltrix-cli --help names is in the man page's synopsis and offered by the
# completion, so that a new command cannot be left out of either.
help_commands=$("$root_bin/veltrix-cli" --help | sed -n '/^Usage:/,/^$/p' | awk '$1 == "veltrix-cli" {print $2}' | sort -u)
[ -n "$help_commands" ] || fail "veltrix-cli --help names no command"
synopsis=$(zcat "$work/root/usr/share/man/man1/veltrix-cli.1.gz" 2>/dev/null | groff -man -Tascii -P-cbu 2>/dev/null \
  | sed -n '/^SYNOPSIS/,/^[A-Z]/p')
completion="$work/root/usr/share/bash-completion/completions/veltrix-cli"
offered=$(bash -c 'source "$1"; COMP_WORDS=(veltrix-cli ""); COMP_CWORD=1; _veltrix_cli; echo "${COMPREPLY[*]}"' _ "$completion")
for command in $help_commands; do
  grep -q -- "veltrix-cli $command" <<<"$synopsis" || fail "the man page's synopsis lacks veltrix-cli $command"
  [[ " $offered " == *" $command "* ]] || fail "the completion does not offer $command"
done

# Debian's own checks: lintian without errors or warnings (packaging/lintian-overrides gives
# the reason for each tag it overrides), and appstreamcli on the metainfo (offline).
if command -v lintian >/dev/null; then
  lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1
  lintian_status=$?
  grep -v "running with root privileges" "$work/lintian.txt"
  ((lintian_status == 0)) || fail "lintian reports errors or warnings"
else
  fail "lintian is not installed (scripts/install-deps.sh installs it)"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.veltrix.veltrix.metainfo.xml" \
    || fail "appstreamcli does not accept the metainfo"
else
  fail "appstreamcli is not installed (scripts/install-deps.sh installs it)"
fi

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
