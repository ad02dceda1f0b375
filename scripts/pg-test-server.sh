#!/usr/bin/env bash
# A throwaway PostgreSQL server for the test runs, reachable only through a Unix socket.
#   bash scripts/pg-test-server.sh start <state dir>   # (re)starts it, writes <state dir>/server.env
#   bash scripts/pg-test-server.sh stop <state dir>    # stops it and removes its folder
#
# server.env holds one key=value a line: host (the socket folder), port, user and dir (the temporary
# folder holding the data and the socket). When the server packages are missing or the server does not
# come up, start says why and exits 0 without writing server.env: the tests that need a server skip.
#
# PostgreSQL refuses to run as root, so under root the server runs as `nobody`. Its data and socket go
# to a fresh folder under /tmp that `nobody` owns: the build folder may sit where `nobody` cannot enter.
set -uo pipefail

readonly SERVER_USER=darvelinto
readonly SERVER_PORT=5432
readonly UNPRIVILEGED_USER=nobody
readonly TEMP_PREFIX=darvelinto-pg
# Every step that waits is bounded: a test run must never hang on the server.
readonly INITDB_TIMEOUT=120
readonly PG_CTL_WAIT=30

usage() {
  echo "usage: $0 start|stop <state dir>" >&2
  exit 2
}

[ $# -eq 2 ] || usage
readonly ACTION="$1"
readonly STATE_DIR="$2"
readonly ENV_FILE="$STATE_DIR/server.env"

say() { echo "pg-test-server: $*"; }

# The highest installed version under /usr/lib/postgresql, else whatever is on PATH.
find_server_bin_dir() {
  local dir
  while read -r dir; do
    if [ -x "$dir/initdb" ] && [ -x "$dir/pg_ctl" ]; then
      echo "$dir"
      return 0
    fi
  done < <(printf '%s\n' /usr/lib/postgresql/*/bin | sort -t/ -k5,5 -V -r)
  local initdb
  initdb="$(command -v initdb 2>/dev/null)" || return 1
  [ -x "$(dirname "$initdb")/pg_ctl" ] || return 1
  dirname "$initdb"
}

running_as_root() { [ "$(id -u)" -eq 0 ]; }

# Runs a command as the server's owner: `nobody` under root, else the caller. Its working folder is
# the server's own folder, since the caller's may be closed to `nobody`.
as_owner() {
  local dir="$1"
  shift
  if ! running_as_root; then
    (cd "$dir" && "$@")
  elif command -v runuser >/dev/null 2>&1; then
    (cd "$dir" && runuser -u "$UNPRIVILEGED_USER" -- "$@")
  else
    (cd "$dir" && setpriv --reuid="$UNPRIVILEGED_USER" --regid="$(id -g "$UNPRIVILEGED_USER")" \
      --clear-groups -- "$@")
  fi
}

env_value() {
  local key="$1"
  sed -n "s/^$key=//p" "$ENV_FILE" 2>/dev/null | head -n 1
}

# Only a folder this script made is ever removed.
is_our_temp_dir() {
  case "$1" in
  /tmp/"$TEMP_PREFIX".*) [ -d "$1" ] && [ ! -L "$1" ] ;;
  *) return 1 ;;
  esac
}

# Stops the server of <temp dir> (politely, then at once, then by signal) and removes the folder.
stop_server_in() {
  local dir="$1" bin_dir="$2"
  local data="$dir/data"
  if [ -f "$data/postmaster.pid" ]; then
    if [ -z "$bin_dir" ] ||
      ! as_owner "$dir" timeout $((PG_CTL_WAIT + 15)) "$bin_dir/pg_ctl" -D "$data" -m fast -w \
        -t "$PG_CTL_WAIT" stop >/dev/null 2>&1; then
      [ -n "$bin_dir" ] && as_owner "$dir" timeout $((PG_CTL_WAIT + 15)) "$bin_dir/pg_ctl" -D "$data" \
        -m immediate -w -t "$PG_CTL_WAIT" stop >/dev/null 2>&1
    fi
    if [ -f "$data/postmaster.pid" ]; then
      local pid
      pid="$(head -n 1 "$data/postmaster.pid")"
      if [[ "$pid" =~ ^[0-9]+$ ]] && kill -0 "$pid" 2>/dev/null; then
        say "the server (pid $pid) did not stop; killing it"
        kill -KILL "$pid" 2>/dev/null
      fi
    fi
  fi
  rm -rf -- "$dir"
}

stop() {
  [ -f "$ENV_FILE" ] || return 0
  local dir
  dir="$(env_value dir)"
  if is_our_temp_dir "$dir"; then
    stop_server_in "$dir" "$(find_server_bin_dir)"
  fi
  rm -f -- "$ENV_FILE"
}

make_server_dir() {
  local dir
  dir="$(mktemp -d "/tmp/$TEMP_PREFIX.XXXXXXXX")" || return 1
  if running_as_root; then
    chown "$UNPRIVILEGED_USER:$(id -g "$UNPRIVILEGED_USER")" "$dir" || {
      rm -rf -- "$dir"
      return 1
    }
  fi
  chmod 700 "$dir"
  echo "$dir"
}

# Settings for a disposable server: no TCP, the socket in its own folder, nothing kept safe from a
# power cut, little memory.
write_settings() {
  local dir="$1"
  cat >>"$dir/data/postgresql.conf" <<EOF

# Throwaway test server
listen_addresses = ''
unix_socket_directories = '$dir'
port = $SERVER_PORT
max_connections = 40
shared_buffers = 16MB
fsync = off
synchronous_commit = off
full_page_writes = off
logging_collector = off
EOF
}

start() {
  stop
  mkdir -p -- "$STATE_DIR" || {
    say "cannot create $STATE_DIR; server runs skipped"
    return 0
  }

  local bin_dir
  if ! bin_dir="$(find_server_bin_dir)"; then
    say "PostgreSQL server not installed (no initdb/pg_ctl); server runs skipped"
    return 0
  fi
  if running_as_root && ! id "$UNPRIVILEGED_USER" >/dev/null 2>&1; then
    say "running as root and there is no user $UNPRIVILEGED_USER to run the server; server runs skipped"
    return 0
  fi

  local dir
  if ! dir="$(make_server_dir)"; then
    say "cannot create a folder under /tmp; server runs skipped"
    return 0
  fi

  # C collation: text sorts byte by byte, as in SQLite.
  if ! as_owner "$dir" timeout "$INITDB_TIMEOUT" "$bin_dir/initdb" -D "$dir/data" -U "$SERVER_USER" \
    --auth=trust --encoding=UTF8 --locale=C --no-sync >"$dir/initdb.log" 2>&1; then
    say "initdb failed; server runs skipped:"
    tail -n 20 "$dir/initdb.log"
    rm -rf -- "$dir"
    return 0
  fi
  write_settings "$dir"

  if ! as_owner "$dir" timeout $((PG_CTL_WAIT + 15)) "$bin_dir/pg_ctl" -D "$dir/data" -l "$dir/server.log" \
    -w -t "$PG_CTL_WAIT" start >/dev/null 2>&1; then
    say "the server did not start; server runs skipped:"
    tail -n 20 "$dir/server.log" 2>/dev/null
    stop_server_in "$dir" "$bin_dir"
    return 0
  fi

  # Written whole, then renamed: a reader never sees half a file.
  if ! { printf 'host=%s\nport=%s\nuser=%s\ndir=%s\n' "$dir" "$SERVER_PORT" "$SERVER_USER" "$dir" \
    >"$ENV_FILE.tmp" && mv -f -- "$ENV_FILE.tmp" "$ENV_FILE"; }; then
    say "cannot write $ENV_FILE; server runs skipped"
    rm -f -- "$ENV_FILE.tmp"
    stop_server_in "$dir" "$bin_dir"
    return 0
  fi
  say "$("$bin_dir/pg_ctl" --version) running, socket in $dir"
}

case "$ACTION" in
start) start ;;
stop) stop ;;
*) usage ;;
esac
