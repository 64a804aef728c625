#!/usr/bin/env bash
# Installs what is missing, builds and runs every test; the exit status is the verdict.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh test
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2
cd build
ctest --output-on-failure -j2
