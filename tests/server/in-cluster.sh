#!/usr/bin/env bash
# The part of on-server.sh that runs inside the cluster (PG* variables set).
set -uo pipefail
bin=$1
shift
flock -u 9 # the cluster listens: the next run may choose its port (on-server.sh)
failed=()
# A program may be named with one of its test functions: PROGRAM:FUNCTION.
for program in "$@"; do
  echo "=== $program on PostgreSQL"
  function=()
  [[ $program == *:* ]] && function=("${program#*:}")
  if [ "$program" = tst_server ]; then
    EBOOK_TEST_CLUSTER="$PGVERSION regress" "$bin/$program" || failed+=("$program")
  else
    EBOOK_TEST_SERVER=1 "$bin/${program%%:*}" "${function[@]}" || failed+=("$program")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "failed on PostgreSQL: ${failed[*]}" >&2
  exit 1
fi
