#!/usr/bin/env bash
# Installs what is missing, builds and runs every test, then builds the
# Debian package and starts the reader from it; the exit status is the verdict.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh test
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2
(cd build && ctest --output-on-failure -j2)
tests/e2e/package.sh build
