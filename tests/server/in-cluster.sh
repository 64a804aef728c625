#!/usr/bin/env bash
# The part of on-server.sh that runs inside the cluster (PG* variables set).
set -uo pipefail
bin=$1
shift
flock -u 9 # the cluster listens: the next run may choose its port (on-server.sh)
. "$(dirname "$0")/standby.sh"
trap stop_standby EXIT
failed=()
# A program may be named with one of its test functions: PROGRAM:FUNCTION.
for program in "$@"; do
  echo "=== $program on PostgreSQL"
  function=()
  [[ $program == *:* ]] && function=("${program#*:}")
  if [ "${program%%:*}" = tst_server ]; then
    if start_standby; then
      EBOOK_TEST_CLUSTER="$PGVERSION regress" "$bin/tst_server" "${function[@]}" || failed+=("$program")
    else
      echo "the standby cluster did not start" >&2
      failed+=("$program")
    fi
  else
    EBOOK_TEST_SERVER=1 "$bin/${program%%:*}" "${function[@]}" || failed+=("$program")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "failed on PostgreSQL: ${failed[*]}" >&2
  exit 1
fi
