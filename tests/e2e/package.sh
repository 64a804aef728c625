#!/usr/bin/env bash
# Builds the Debian package as it is shipped: the reader and the tool in a
# Release tree of its own (configured here; nothing else is built there),
# stripped by cpack -G DEB, which leaves the .deb in that tree, and prints
# its size, installed size and the programs' sizes. Then checks it: lintian
# reports no error and no warning, the doc folder holds the copyright file and
# the changelog, the manual pages are there and man renders them without a
# warning, and unpacked into a temporary root (dpkg-deb -x) its tool
# makes the demo book at the book's place and its reader, started through
# its bin/ link under Xvfb, shows the main window.
# Usage: tests/e2e/package.sh RELEASE_TREE   (./test.sh: build-release)
set -uo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
tree=$1

if [ -z "${E2E_INNER:-}" ]; then
  for cmd in cmake cpack dpkg-deb dpkg-shlibdeps lintian xvfb-run xdotool; do
    command -v "$cmd" >/dev/null || { echo "package: $cmd is missing (scripts/deps.sh test installs it)"; exit 1; }
  done
  cmake -S "$src" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null &&
    cmake --build "$tree" -j2 --target ebook-reader ebook-tool || { echo "FAIL: the Release tree did not build"; exit 1; }
  exec xvfb-run -a -s "-screen 0 1280x800x24" env E2E_INNER=1 QT_QPA_PLATFORM=xcb "$0" "$@"
fi
build=$(cd "$tree" && pwd)

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack -G DEB failed"; }
deb=$(ls "$build"/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no .deb was made"
echo "package: $deb, $(( ($(stat -c %s "$deb") + 1023) / 1024 )) KB, Installed-Size $(dpkg-deb -f "$deb" Installed-Size) KB"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6widgets6 libqt6sql6 libsqlite3 libmdb; do
  [[ $depends == *"$lib"* ]] || fail "the package does not depend on $lib"
done
[[ $(dpkg-deb -f "$deb" Recommends) == *fortunes-zh* ]] || fail "the package does not recommend fortunes-zh (ebook-tool demo)"
# Any error or warning fails; what lintian says is printed either way.
lintian --fail-on error,warning "$deb" 2>/dev/null || fail "lintian reports errors or warnings"

root="$work/root"
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x failed"
home="$root/usr/lib/mochuan-ebook"
for f in usr/bin/ebook-reader usr/bin/ebook-tool usr/share/applications/mochuan-ebook.desktop usr/share/applications/mochuan-ebook-staff.desktop \
         usr/share/icons/hicolor/scalable/apps/mochuan-ebook.svg; do
  [ -e "$root/$f" ] || fail "$f is missing from the package"
done
[ -d "$home/data" ] || fail "the book's place lib/mochuan-ebook/data is missing"
doc="$root/usr/share/doc/mochuan-ebook"
[ "$(head -n 1 "$doc/copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
  fail "usr/share/doc/mochuan-ebook/copyright is missing or not machine-readable"
[[ $(zcat "$doc/changelog.gz" | head -n 1) == "mochuan-ebook ($(dpkg-deb -f "$deb" Version)) "* ]] ||
  fail "usr/share/doc/mochuan-ebook/changelog.gz is missing or not of this version"
for program in ebook-reader ebook-tool; do
  echo "package: $program $(( ($(stat -c %s "$home/$program") + 1023) / 1024 )) KB"
done
# The manual pages: Chinese for zh_CN, English for the rest; man renders each without a warning.
for page in zh_CN/man1/ebook-reader.1.gz zh_CN/man1/ebook-tool.1.gz man1/ebook-reader.1.gz man1/ebook-tool.1.gz; do
  [ -f "$root/usr/share/man/$page" ] || fail "the manual page usr/share/man/$page is missing"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man warns about $page: $warnings"
done
"$root/usr/bin/ebook-tool" demo "$home/data/ebook.mdb" >/dev/null || fail "the unpacked ebook-tool could not make the demo book"

mkdir -p "$work/elsewhere" "$work/config"
(cd "$work/elsewhere" && XDG_CONFIG_HOME="$work/config" exec "$root/usr/bin/ebook-reader") &
if wid=$(timeout 30 xdotool search --sync --onlyvisible --name '唐诗宋词选读' 2>/dev/null | head -n 1) && [ -n "$wid" ]; then
  echo "package: the unpacked reader shows its main window"
else
  fail "the unpacked reader's main window did not appear"
fi
echo "package test: passed"
