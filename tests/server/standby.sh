# Sourced by in-cluster.sh: a hot standby of the run's cluster (streaming
# replication), made by pg_basebackup -R into a temporary folder and started
# on a port of its own, for the reading terminals that tst_server points at it.
# start_standby exports EBOOK_TEST_STANDBY_PORT; stop_standby removes it all.

standby_dir=
# Runs a command as the user who owns the cluster's files (the postgres user
# when the suite runs as root: the server refuses to run as root).
as_owner() {
  if [ "$(id -u)" = 0 ]; then runuser -u "$standby_owner" -- "$@"; else "$@"; fi
}

start_standby() {
  local bin=/usr/lib/postgresql/$PGVERSION/bin
  local primary_data hba port
  primary_data=$(psql -XAtc 'show data_directory') || return 1
  hba=$(psql -XAtc 'show hba_file') || return 1
  standby_owner=$(stat -c %U "$primary_data")
  # Replication connections from this machine with the cluster's password.
  if ! grep -Eq '^host[[:space:]]+replication[[:space:]]+all[[:space:]]+127\.0\.0\.1/32' "$hba"; then
    printf 'host replication all 127.0.0.1/32 scram-sha-256\nhost replication all ::1/128 scram-sha-256\n' >>"$hba"
    psql -XAtqc 'select pg_reload_conf()' >/dev/null
  fi
  standby_dir=$(mktemp -d)
  chown "$standby_owner" "$standby_dir"
  as_owner "$bin/pg_basebackup" -D "$standby_dir/data" -R -X stream -c fast || return 1
  port=$((PGPORT + 1))
  while (: </dev/tcp/127.0.0.1/$port) 2>/dev/null; do port=$((port + 1)); done
  # Debian keeps a cluster's configuration outside its data folder: the
  # standby gets its own. A standby needs at least the primary's connections.
  cp "$hba" "$standby_dir/data/pg_hba.conf"
  : >"$standby_dir/data/pg_ident.conf"
  cat >"$standby_dir/data/postgresql.conf" <<CONF
port = $port
listen_addresses = 'localhost'
unix_socket_directories = '$standby_dir'
hot_standby = on
max_connections = $(psql -XAtc 'show max_connections')
fsync = off
log_min_messages = fatal
CONF
  chown -R "$standby_owner" "$standby_dir"
  as_owner "$bin/pg_ctl" -D "$standby_dir/data" -l "$standby_dir/log" -w -t 60 start >/dev/null || {
    cat "$standby_dir/log" >&2
    return 1
  }
  export EBOOK_TEST_STANDBY_PORT=$port
}

stop_standby() {
  [ -n "$standby_dir" ] || return 0
  as_owner "/usr/lib/postgresql/$PGVERSION/bin/pg_ctl" -D "$standby_dir/data" -m immediate -w stop >/dev/null 2>&1
  rm -rf "$standby_dir"
  standby_dir=
}
