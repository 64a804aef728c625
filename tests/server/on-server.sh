#!/usr/bin/env bash
# Runs test programs against a throwaway PostgreSQL cluster of this run's own
# (pg_virtualenv -t: a temporary folder even as root, so that other
# checkouts' suites on the same machine run beside it): first the chosen
# programs of the SQLite suite with EBOOK_TEST_SERVER set, which turns each
# test's book into a book on the server, then the server's own tests.
# Usage: on-server.sh TEST_BINARY_DIR PROGRAM...
set -euo pipefail
bin=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
# The cluster's port: one that nothing listens on, drawn from a wide range so
# that another run does not take it while tst_server stops and restarts this
# cluster. Runs that start together take turns from choosing a port to
# listening on it (in-cluster.sh lets the next one go).
# (A run killed in between may leave its lock with an orphaned server: after a
# minute the next run goes on without it.)
exec 9>>/tmp/mochuan-ebook-test-cluster.lock
flock -w 60 9 || echo "on-server.sh: no turn after 60 s; going on" >&2
port=$((20000 + RANDOM % 20000))
while (: </dev/tcp/127.0.0.1/$port) 2>/dev/null; do port=$((port + 1)); done
export PGPORT=$port
# The cluster logs to this terminal: only its fatal errors are of interest.
exec pg_virtualenv -t -o log_min_messages=fatal -o log_min_error_statement=panic -o log_checkpoints=off \
  -o fsync=off -o max_connections=200 -- "$here/in-cluster.sh" "$bin" "$@"
