#!/usr/bin/env bash
# Saves PNGs of the log-in page, the setup page and every page of the main frame (and the dialogs
# the shot lists open) in both themes into <build dir>/screenshots, from the real window running
# offscreen at 1280 x 800, on a copy of the demo office <build dir>/demo/darvelinto.db. The shot
# lists open rows of that office, so when there is none it is made first (as make demo-data does).
set -euo pipefail

BUILD_DIR="${1:-build}"
OUT="$BUILD_DIR/screenshots"
TOOL="$BUILD_DIR/tools/darvelinto-screenshots"
DATAGEN="$BUILD_DIR/tools/darvelinto-datagen"
DEMO="$BUILD_DIR/demo/darvelinto.db"

for program in "$TOOL" "$DATAGEN"; do
  if [ ! -x "$program" ]; then
    echo "missing $program: build first (make build)" >&2
    exit 1
  fi
done

if [ ! -f "$DEMO" ]; then
  echo "no demo office in $DEMO: making it"
  "$DATAGEN" demo "$DEMO"
fi
echo "using a copy of $DEMO"

rm -rf "$OUT"
mkdir -p "$OUT"
status=0
for theme in dark light; do
  QT_QPA_PLATFORM=offscreen "$TOOL" --out "$OUT" --theme "$theme" --db "$DEMO" || status=1
done
echo "$(find "$OUT" -name '*.png' | wc -l) pictures in $OUT"
exit $status
