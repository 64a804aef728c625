#!/usr/bin/env bash
# Builds the Debian package in the build folder (cpack -G DEB), unpacks it
# into a temporary root (dpkg-deb -x), makes a book at the unpacked book's
# place and starts the unpacked reader through its bin/ link under Xvfb:
# the main window appears. Usage: tests/e2e/package.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)

if [ -z "${E2E_INNER:-}" ]; then
  for cmd in cpack dpkg-deb dpkg-shlibdeps xvfb-run xdotool; do
    command -v "$cmd" >/dev/null || { echo "package: $cmd is missing (scripts/deps.sh test installs it)"; exit 1; }
  done
  exec xvfb-run -a -s "-screen 0 1280x800x24" env E2E_INNER=1 QT_QPA_PLATFORM=xcb "$0" "$@"
fi

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack -G DEB failed"; }
deb=$(ls "$work"/out/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no .deb was made"
echo "package: $(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6widgets6 libqt6sql6 libsqlite3 libmdb; do
  [[ $depends == *"$lib"* ]] || fail "the package does not depend on $lib"
done

root="$work/root"
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x failed"
home="$root/usr/lib/mochuan-ebook"
for f in usr/bin/ebook-reader usr/bin/ebook-tool usr/share/applications/mochuan-ebook.desktop \
         usr/share/icons/hicolor/scalable/apps/mochuan-ebook.svg; do
  [ -e "$root/$f" ] || fail "$f is missing from the package"
done
[ -d "$home/data" ] || fail "the book's place lib/mochuan-ebook/data is missing"
"$root/usr/bin/ebook-tool" demo "$home/data/ebook.mdb" >/dev/null || fail "the unpacked ebook-tool could not make the demo book"

mkdir -p "$work/elsewhere" "$work/config"
(cd "$work/elsewhere" && XDG_CONFIG_HOME="$work/config" exec "$root/usr/bin/ebook-reader") &
if wid=$(timeout 30 xdotool search --sync --onlyvisible --name '唐诗宋词选读' 2>/dev/null | head -n 1) && [ -n "$wid" ]; then
  echo "package: the unpacked reader shows its main window"
else
  fail "the unpacked reader's main window did not appear"
fi
echo "package test: passed"
