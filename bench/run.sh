#!/usr/bin/env bash
# Builds, makes the benchmark books (once, in build/bench/) and prints the figures.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2
mkdir -p build/bench
tree=build/bench/tree-20000.mdb
[ -e "$tree" ] || build/ebook-tool generate "$tree" --no-index --chapters 20000 --fanout 12 --articles 20000 --text-bytes 300
text=build/bench/text-100mb.mdb
word=黄鹤楼仙人
[ -e "$text" ] || build/ebook-tool generate "$text" --no-index --chapters 20000 --fanout 12 --articles 0 \
  --text-bytes 5200 --word "$word" --word-percent 1
echo "== 20,000 chapters and 20,000 articles; 20,000 chapters with 100 MB of text"
build/bench_browser "$tree" "$text" "$word"

echo "== full-text search on the 100 MB book, without and with the full-text index"
indexed=build/bench/text-100mb-indexed.mdb
rm -f "$indexed"
cp "$text" "$indexed"
start=$(date +%s%N)
build/ebook-tool index "$indexed" >/dev/null
end=$(date +%s%N)
echo "index build: $(( (end - start) / 1000000 )) ms; book $(du -m "$text" | cut -f1) MB without, $(du -m "$indexed" | cut -f1) MB with the index"
words=(黄 黄鹤 黄鹤楼 "$word")
build/bench_search "$text" "${words[@]}"
build/bench_search "$indexed" "${words[@]}"
