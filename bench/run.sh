#!/usr/bin/env bash
# Builds, makes the benchmark books (once, in build/bench/) and prints the figures.
#   bench/run.sh [SIZES...]   chapter counts of the tree table (default: 5000 20000 80000 200000)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2 --target ebook-tool bench_browser bench_search bench_save bench_terminals
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
    [ -e "$book" ] || build/ebook-tool generate "$book" --no-index --chapters "$n" --fanout 12 --articles "$articles" \
      --text-bytes 100 >/dev/null
    build/bench_browser --tree "$book" "$n chapters, $articles articles"
  done
done

if [ $# -eq 0 ]; then
  echo "== A chain of 999,999 chapters, each the only child of the one before (both open 1,000 levels)"
  chain=build/bench/chain-999999.mdb
  [ -e "$chain" ] || build/ebook-tool generate "$chain" --no-index --chapters 999999 --fanout 1 --articles 0 \
    --text-bytes 10 >/dev/null
  build/bench_browser --star "$chain"

  tree=build/bench/tree-20000-20000.mdb
  text=build/bench/text-100mb.mdb
  word=黄鹤楼仙人
  [ -e "$text" ] || build/ebook-tool generate "$text" --no-index --chapters 20000 --fanout 12 --articles 0 \
    --text-bytes 5200 --word "$word" --word-percent 1
  echo "== Full-text search, 20,000 chapters with 100 MB of text"
  build/bench_browser "$tree" "$text" "$word"

  echo "== Full-text search on the 100 MB book, without and with the full-text index"
  indexed=build/bench/text-100mb-indexed.mdb
  rm -f "$indexed"
  cp "$text" "$indexed"
  start=$(date +%s%N)
  build/ebook-tool index "$indexed" >/dev/null
  end=$(date +%s%N)
  echo "index build: $(( (end - start) / 1000000 )) ms; book $(du -m "$text" | cut -f1) MB without," \
    "$(du -m "$indexed" | cut -f1) MB with the index"
  words=(黄 黄鹤 黄鹤楼 "$word")
  build/bench_search "$indexed" -- "${words[@]}"

  # Realistic text: an order-1 character chain learnt from fortunes-zh.
  # REAL_CHAPTERS (default 20000, 5,200 bytes each) makes it smaller.
  chapters=${REAL_CHAPTERS:-20000}
  real=build/bench/real-$chapters.mdb
  [ -e "$real" ] || build/ebook-tool generate "$real" --no-index --chapters "$chapters" --fanout 12 --articles 0 \
    --text-bytes 5200 --word "$word" --word-percent 1 --chain /usr/share/games/fortunes/chinese.u8 >/dev/null
  realIndexed=build/bench/real-$chapters-indexed.mdb
  rm -f "$realIndexed"
  cp "$real" "$realIndexed"
  start=$(date +%s%N)
  build/ebook-tool index "$realIndexed" >/dev/null
  end=$(date +%s%N)
  textMb=$(sqlite3 "$real" "select sum(length(cast(ywnr as blob))) / 1048576 from ywzx_ywlb")
  echo "== Realistic text, $chapters chapters: $textMb MB of text; the index adds" \
    "$(( ($(stat -c %s "$realIndexed") - $(stat -c %s "$real")) / 1048576 )) MB, built in $(( (end - start) / 1000000 )) ms"
  echo "   the file book, then the server book (pushed into a throwaway cluster; ×first book = ×the indexed file)"
  # The same cluster then serves a reading room under load: 1, 10, 50 and
  # 100 readers, busy and then paced, TERMINALS_SECONDS (default 15) each.
  # max_connections as README's "Sizing a reading room" recommends.
  TERMINALS_SECONDS=${TERMINALS_SECONDS:-15} pg_virtualenv -t -o fsync=off -o max_connections=150 -- bash -c '
    set -euo pipefail
    dir=$(mktemp -d)
    printf "*:*:*:*:%s\n" "$PGPASSWORD" >"$dir/pgpass"
    chmod 600 "$dir/pgpass"
    printf "[server]\nhost = %s\nport = %s\ndatabase = %s\nuser = %s\npassfile = pgpass\n" \
      "${PGHOST:-localhost}" "$PGPORT" "$PGDATABASE" "$PGUSER" >"$dir/ebook.conf"
    psql -qc "create extension if not exists pg_trgm" >/dev/null
    start=$(date +%s%N)
    build/ebook-tool push "$1" "postgresql://$PGUSER@${PGHOST:-localhost}:$PGPORT/$PGDATABASE" >/dev/null
    end=$(date +%s%N)
    echo "   push $(( (end - start) / 1000000 )) ms; server indexes:" \
      "$(psql -Atc "select string_agg(indexrelname || \$\$ \$\$ || pg_size_pretty(pg_relation_size(indexrelid)), \$\$, \$\$)
                    from pg_stat_user_indexes where relname = \$\$ywzx_ywlb\$\$")"
    # Where the push spends its time: each GIN index built again alone, as the push builds it.
    for index in ywzx_ywlb_ywnr_trgm ywzx_ywlb_ywnr_pairs ywzx_ywlb_ywnr_chars; do
      start=$(date +%s%N)
      psql -qc "reindex index $index" >/dev/null
      end=$(date +%s%N)
      echo "   $index built alone in $(( (end - start) / 1000000 )) ms"
    done
    shift
    build/bench_search "$1" "$dir/ebook.conf" -- "${@:2}"
    echo "== A reading room under load on the server book: N readers (threads, a connection each), busy (no"
    echo "   pause) and paced (a pause of 0.5 to 1.5 s between two actions); one staff station saves a chapter"
    echo "   every 3 s meanwhile; ms; load average $(cut -d" " -f1-3 /proc/loadavg) at the start"
    build/bench_terminals "$dir/ebook.conf" "$TERMINALS_SECONDS" 1000 1 10 50 100
    rm -rf "$dir"
  ' bench "$real" "$realIndexed" "${words[@]}"

  echo "== Saving one chapter's text on the indexed realistic book (ms; the text replaces a short one)"
  saved=build/bench/real-$chapters-saves.mdb
  rm -f "$saved"
  cp "$realIndexed" "$saved"
  build/bench_save "$saved" "$real" 1 10 50 2>/dev/null
  rm -f "$saved"

  echo "== One chapter of 50 MB (UTF-8; 1.4 million short lines, then one line of 16 million characters): showing it, from the command to the text"
  echo "   on screen (results window: the search hit, marked and moved to); resident MB before, peak, after"
  large=build/bench/large-50mb.mdb
  [ -e "$large" ] || build/ebook-tool generate "$large" --no-index --chapters 1 --articles 0 --text-bytes 56000000 \
    --word "$word" --word-percent 100 >/dev/null
  echo "| where | characters | ms | MB before | peak MB | MB after |"
  echo "|---|---|---|---|---|---|"
  build/bench_browser --large pane "$large" "$word"
  build/bench_browser --large results "$large" "$word"
  # The same text as one endless line (no line break at all).
  endless=build/bench/endless-50mb.mdb
  [ -e "$endless" ] || build/ebook-tool generate "$endless" --no-index --no-breaks --chapters 1 --articles 0 \
    --text-bytes 56000000 --word "$word" --word-percent 100 >/dev/null
  build/bench_browser --large pane "$endless" "$word" | sed 's/^| pane |/| pane, one line |/'
  build/bench_browser --large results "$endless" "$word" | sed 's/^| results |/| results, one line |/'
fi
