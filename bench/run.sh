#!/usr/bin/env bash
# Builds, makes the benchmark books (once, in build/bench/) and prints the figures.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2
mkdir -p build/bench
tree=build/bench/tree-20000.mdb
[ -e "$tree" ] || build/ebook-tool generate "$tree" --chapters 20000 --fanout 12 --articles 20000 --text-bytes 300
echo "== browser: 20,000 chapters, 20,000 articles"
build/bench_browser "$tree"
