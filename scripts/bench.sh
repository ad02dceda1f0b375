#!/usr/bin/env bash
# make bench: builds the large office once (cached beside the build, rebuilt when the generator
# changes), then measures the speed and memory targets against the SQLite floor.
#   bash scripts/bench.sh <build dir> [extra darvelinto-bench options]
set -euo pipefail

BUILD_DIR="${1:-build}"
shift || true
DATAGEN="$BUILD_DIR/tools/darvelinto-datagen"
BENCH="$BUILD_DIR/bench/darvelinto-bench"
CACHE="$BUILD_DIR/bench-data"
# A fixed end date keeps the cached office the same from day to day; the benchmark pins its clock
# to it.
TODAY="${BENCH_TODAY:-2026-11-15}"

for tool in "$DATAGEN" "$BENCH"; do
  if [ ! -x "$tool" ]; then
    echo "missing $tool: build first (make build)" >&2
    exit 1
  fi
done
mkdir -p "$CACHE"

# The cache is keyed on the generator's sources, the schema and the posting rules, so a changed
# generator, schema or ledger builds a new office while other work on the program (which relinks
# the generator) does not.
SOURCE_DIR="$(cd "$(dirname "$0")/.." && pwd)"
KEY="$(cat "$SOURCE_DIR"/tools/datagen/*.cpp "$SOURCE_DIR"/tools/datagen/*.h \
  "$SOURCE_DIR"/src/data/schema.cpp "$SOURCE_DIR"/src/data/seed.cpp \
  "$SOURCE_DIR"/src/models/bookkeeper.cpp "$SOURCE_DIR"/src/models/ledgeropening.cpp | sha1sum | cut -c1-12)-$TODAY"
build_office() { # name profile months
  local file="$CACHE/$1-$KEY.db"
  if [ ! -f "$file" ]; then
    rm -f "$CACHE/$1"-*.db "$CACHE/$1"-*.db.today
    echo "building the $1 office (once; cached in $CACHE)..." >&2
    local extra=()
    [ -n "$3" ] && extra=(--months "$3")
    "$DATAGEN" "$2" "$file" --today "$TODAY" "${extra[@]}" >&2
  fi
  echo "$file"
}

LARGE="$(build_office large large "")"
# The same office one year into its history: about 50,000 invoices, for the rent run's growth.
SMALL="$(build_office large-1y large 13)"

# The server figures run on a throwaway PostgreSQL server, as the tests' server runs do.
PG_STATE="$BUILD_DIR/bench-pg"
SERVER=()
if bash "$SOURCE_DIR/scripts/pg-test-server.sh" start "$PG_STATE" >&2 && [ -f "$PG_STATE/server.env" ]; then
  SERVER=(--server-env "$PG_STATE/server.env")
  trap 'bash "$SOURCE_DIR/scripts/pg-test-server.sh" stop "$PG_STATE" >/dev/null 2>&1 || true' EXIT
fi

echo "cores: $(nproc), SQLite $(sqlite3 --version 2>/dev/null | cut -d' ' -f1 || echo '?'), $(date -u +%Y-%m-%d)"
QT_QPA_PLATFORM=offscreen "$BENCH" --db "$LARGE" --db-small "$SMALL" --today "$TODAY" "${SERVER[@]}" "$@"
