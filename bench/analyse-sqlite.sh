#!/bin/sh
# Real-code benchmark: kvx_zkck_cc analysing the SQLite amalgamation in the
# GNU dialect (in-process preprocessing with the GNU option file, parsing
# and the whole model, no rules), against gcc -fsyntax-only on the same
# file in the same run.  Prints both times and peak memories and their
# ratios (engine / gcc), each the best of three runs.
# Usage: sh bench/analyse-sqlite.sh BUILD_DIR
set -e
BUILD=${1:-build}
HERE=$(cd "$(dirname "$0")" && pwd)
ENGINE="$BUILD/bin/kvx_zkck_cc"
if [ ! -x "$ENGINE" ]; then echo "bench: $ENGINE not built" >&2; exit 1; fi
if ! command -v gcc >/dev/null 2>&1; then echo "bench: skipped: gcc is not installed"; exit 0; fi
if [ ! -x /usr/bin/time ]; then echo "bench: skipped: /usr/bin/time is not installed"; exit 0; fi
if ! SRC=$(sh "$HERE/../scripts/fetch-sqlite.sh"); then
  echo "bench: skipped: the SQLite amalgamation cannot be had"
  exit 0
fi
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cp "$SRC" "$WORK/sqlite3.c"
DDEF=""
if [ ! -f "$BUILD/util/gnu.def" ]; then
  # Without the shipped option file, one made of GCC's own predefined
  # macros and include directories stands in for it.
  echo "bench: note: $BUILD/util/gnu.def is not shipped; using GCC's predefined macros"
  gcc -dM -E - </dev/null | sed 's/^#define /D /' > "$WORK/gnu.def"
  echo | gcc -E -Wp,-v - 2>&1 | sed -n 's/^ \(\/.*\)/I \1/p' >> "$WORK/gnu.def"
  DDEF=" -ddef \"$WORK/gnu.def\""
fi
printf '"%s" -dial gnu -nocccp%s\n' "$WORK/sqlite3.c" "$DDEF" > "$WORK/c.lst"
: > "$WORK/r.lst"
"$ENGINE" "$WORK/c.lst" "$WORK/r.lst" > "$WORK/out" 2>&1 || {
  echo "bench: the analysis failed:" >&2
  head -20 "$WORK/out" >&2
  exit 1
}
. "$HERE/measure.sh"
LINES=$(wc -l < "$WORK/sqlite3.c")
K=$(measure "$ENGINE" "$WORK/c.lst" "$WORK/r.lst")
G=$(measure gcc -fsyntax-only "$WORK/sqlite3.c")
echo "$K $G $LINES" | awk '{
  printf "analysis of the SQLite amalgamation (%d lines)\n", $5
  printf "  kvx_zkck_cc -dial gnu: %.2f s, %.1f MiB\n", $1, $2 / 1024
  printf "  gcc -fsyntax-only: %.2f s, %.1f MiB\n", $3, $4 / 1024
  printf "  ratio time %.2f, memory %.2f\n", $1 / $3, $2 / $4 }'
