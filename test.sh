#!/usr/bin/env bash
# Installs what is missing, builds and runs every test, then builds the
# Debian package (Release, in build-release/), checks it with lintian and starts
# the reader from it; the exit status is the verdict.
#   ./test.sh              the suite in build/, then the package
#   ./test.sh --sanitize   the suite in build-sanitize/, built with AddressSanitizer
#                          and UndefinedBehaviorSanitizer, leak detection on
set -euo pipefail
cd "$(dirname "$0")"
tree=build options=()
case "${1:-}" in
  "") ;;
  --sanitize) tree=build-sanitize options=(-DEBOOK_SANITIZE=ON) ;;
  *) echo "usage: ./test.sh [--sanitize]" >&2; exit 2 ;;
esac
scripts/deps.sh test
python3 scripts/includes.py # no include circles, folders in layers
cmake -S . -B "$tree" -G Ninja "${options[@]}" >/dev/null
cmake --build "$tree" -j2
(cd "$tree" && ctest --output-on-failure -j2)
if [ "$tree" = build ]; then
  tests/e2e/package.sh build-release
fi
