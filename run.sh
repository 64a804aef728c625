#!/usr/bin/env bash
# Installs what is missing, builds the reader and the tool, makes the demo book when there is no
# book beside the program, and starts the reader.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh build
cmake -S . -B build -G Ninja >/dev/null
# Only the two programs: ./test.sh builds the tests and benchmarks.
cmake --build build -j2 --target ebook-reader ebook-tool
if [ ! -e build/data/ebook.mdb ]; then
  mkdir -p build/data
  build/ebook-tool demo build/data/ebook.mdb
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display to show the reader on; start it from a desktop session, or try: xvfb-run ./run.sh" >&2
  exit 1
fi
exec build/ebook-reader
