#!/usr/bin/env bash
# Checks what `cmake --install` and `cpack -G DEB` make of the build in build/ (or $1):
# the menu entry and the AppStream metainfo validate, the manual pages and the file type
# read cleanly, an install into a staging folder and the Debian package both hold every
# file of the desktop program, all at the project's version, and the installed programs
# print that version without a display. Leaves nothing behind.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

fail() {
  echo "check-install: $*" >&2
  exit 1
}

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"
id=org.example.valvix

# Every file the desktop program needs, below the prefix.
files=(
  bin/valvix
  bin/valvix-cli
  "share/applications/$id.desktop"
  share/icons/hicolor/scalable/apps/valvix.svg
  share/mime/packages/valvix-design.xml
  "share/metainfo/$id.metainfo.xml"
  share/man/man1/valvix.1
  share/man/man1/valvix-cli.1
)
for example in "$here"/examples/*.VXF "$here"/examples/*.jpg; do
  files+=("share/valvix/examples/$(basename "$example")")
done

# A staged install.
stage="$work/stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
for file in "${files[@]}"; do
  [ -f "$stage/usr/$file" ] || fail "the install lacks /usr/$file"
done
share="$stage/usr/share"

desktop-file-validate "$share/applications/$id.desktop"
grep -qx 'Exec=valvix %f' "$share/applications/$id.desktop" || fail "the menu entry's Exec line"
# --no-net: the screenshot's address is checked for its form, not fetched.
appstreamcli validate --no-net --pedantic "$share/metainfo/$id.metainfo.xml"
# The metainfo together with the menu entry and the icon it names, as a software centre
# gathers them.
appstreamcli validate-tree --no-net --pedantic "$stage/usr"
grep -q "<release version=\"$version\"" "$share/metainfo/$id.metainfo.xml" ||
  fail "the metainfo's release is not $version"

xmllint --noout "$share/icons/hicolor/scalable/apps/valvix.svg" "$share/mime/packages/valvix-design.xml"
file -b "$share/icons/hicolor/scalable/apps/valvix.svg" | grep -q SVG || fail "the icon is no SVG"
# The file type as the desktop's database holds it: both spellings of the extension.
mime_output="$(update-mime-database "$share/mime" 2>&1)" || fail "update-mime-database: $mime_output"
for glob in '*.vxf' '*.VXF'; do
  grep -qF "application/x-valvix-design:$glob" "$share/mime/globs2" || fail "no file type for $glob"
done

for page in valvix valvix-cli; do
  warnings="$(groff -man -ww -z "$share/man/man1/$page.1" 2>&1)"
  [ -z "$warnings" ] || fail "$page.1: $warnings"
  grep -q "\"Valvix $version\"" "$share/man/man1/$page.1" || fail "$page.1 is not of version $version"
done

# The installed programs answer without a display.
for program in valvix valvix-cli; do
  answer="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$stage/usr/bin/$program" --version)"
  [ "$answer" = "$program $version" ] || fail "$program --version printed '$answer'"
done

# The Debian package.
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
deb="$(echo "$work"/package/valvix_"$version"_*.deb)"
[ -f "$deb" ] || fail "cpack made no package valvix_${version}_*.deb"
contents="$(dpkg-deb -c "$deb" | awk '{print $6}')"
for file in "${files[@]}"; do
  grep -qx "\./usr/$file" <<<"$contents" || fail "the package lacks /usr/$file"
done
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package is not of version $version"
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6; do
  grep -q "$library " <<<"$depends" || fail "the package does not depend on $library: $depends"
done
grep -q ngspice <<<"$(dpkg-deb -f "$deb" Recommends)" || fail "the package does not recommend ngspice"
grep -q "tesseract-ocr-eng" <<<"$depends" || fail "the package does not depend on tesseract-ocr-eng: $depends"
echo "check-install: install and package of Valvix $version hold everything"
