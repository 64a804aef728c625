#!/usr/bin/env bash
# Builds, makes the benchmark books (once, in build/bench/) and prints the figures.
#   bench/run.sh [SIZES...]   chapter counts of the tree table (default: 5000 20000 80000 200000)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2 --target ebook-tool bench_browser
mkdir -p build/bench
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(5000 20000 80000 200000)

echo "== The chapter tree (fan-out 12; times in ms; ratios against the two-statement reference build,"
echo "   'after' is the name search after expand all, collapse all and refresh, against a fresh one)"
echo "| book | nodes | reference | expand all | ×ref | collapse all | refresh | search fresh | ×ref | search after | ×fresh | peak MB | bytes/node |"
echo "|---|---|---|---|---|---|---|---|---|---|---|---|---|"
for n in "${sizes[@]}"; do
  for articles in "$n" 0; do
    book=build/bench/tree-$n-$articles.mdb
    [ -e "$book" ] || build/ebook-tool generate "$book" --chapters "$n" --fanout 12 --articles "$articles" \
      --text-bytes 100 >/dev/null
    build/bench_browser --tree "$book" "$n chapters, $articles articles"
  done
done

if [ $# -eq 0 ]; then
  tree=build/bench/tree-20000-20000.mdb
  text=build/bench/text-100mb.mdb
  word=黄鹤楼仙人
  [ -e "$text" ] || build/ebook-tool generate "$text" --chapters 20000 --fanout 12 --articles 0 \
    --text-bytes 5200 --word "$word" --word-percent 1
  echo "== Full-text search, 20,000 chapters with 100 MB of text"
  build/bench_browser "$tree" "$text" "$word"
fi
