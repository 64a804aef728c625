#!/usr/bin/env bash
# Runs test programs against a throwaway PostgreSQL cluster (pg_virtualenv,
# which also works as root): first the chosen programs of the SQLite suite
# with EBOOK_TEST_SERVER set, which turns each test's book into a book on the
# server, then the server's own tests.
# Usage: on-server.sh TEST_BINARY_DIR PROGRAM...
set -euo pipefail
bin=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
# The cluster logs to this terminal: only its fatal errors are of interest.
exec pg_virtualenv -o log_min_messages=fatal -o log_min_error_statement=panic -o log_checkpoints=off \
  -o fsync=off -o max_connections=200 -- "$here/in-cluster.sh" "$bin" "$@"
