#!/usr/bin/env bash
# Saves PNGs of the log-in page, the setup page and every page of the main frame (and the dialogs
# the shot lists open) in both themes into <build dir>/screenshots, from the real window running
# offscreen at 1280 x 800. Uses a copy of <build dir>/demo/darvelinto.db when it exists, otherwise
# a new database.
set -euo pipefail

BUILD_DIR="${1:-build}"
OUT="$BUILD_DIR/screenshots"
TOOL="$BUILD_DIR/tools/darvelinto-screenshots"
DEMO="$BUILD_DIR/demo/darvelinto.db"

if [ ! -x "$TOOL" ]; then
  echo "missing $TOOL: build first (make build)" >&2
  exit 1
fi

rm -rf "$OUT"
mkdir -p "$OUT"
DB_ARGS=()
if [ -f "$DEMO" ]; then
  DB_ARGS=(--db "$DEMO")
  echo "using a copy of $DEMO"
else
  echo "no demo data ($DEMO): using a new database"
fi

status=0
for theme in dark light; do
  QT_QPA_PLATFORM=offscreen "$TOOL" --out "$OUT" --theme "$theme" "${DB_ARGS[@]}" || status=1
done
echo "$(find "$OUT" -name '*.png' | wc -l) pictures in $OUT"
exit $status
