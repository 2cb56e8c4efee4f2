#!/bin/sh
# Analysis benchmark: kvx_zkck_cc (in-process preprocessing, parsing and the
# whole model, no rules) on a generated ANSI C source of about 200,000
# lines, against gcc -fsyntax-only -std=c89 on the same file in the same run.
# Prints both times and peak memories and their ratios (engine / gcc).
# Usage: sh bench/analyse.sh BUILD_DIR [FUNCTIONS]
set -e
BUILD=${1:-build}
NFUN=${2:-8000}
HERE=$(cd "$(dirname "$0")" && pwd)
ENGINE="$BUILD/bin/kvx_zkck_cc"
if [ ! -x "$ENGINE" ]; then echo "bench: $ENGINE not built" >&2; exit 1; fi
if ! command -v gcc >/dev/null 2>&1; then echo "bench: skipped: gcc is not installed"; exit 0; fi
if [ ! -x /usr/bin/time ]; then echo "bench: skipped: /usr/bin/time is not installed"; exit 0; fi
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
tclsh "$HERE/gen_source.tcl" "$WORK/gen.c" "$NFUN"
printf '"%s" -dial ansi -nocccp\n' "$WORK/gen.c" > "$WORK/c.lst"
: > "$WORK/r.lst"
. "$HERE/measure.sh"
LINES=$(wc -l < "$WORK/gen.c")
K=$(measure "$ENGINE" "$WORK/c.lst" "$WORK/r.lst")
G=$(measure gcc -fsyntax-only -std=c89 "$WORK/gen.c")
echo "$K $G $LINES" | awk '{
  printf "analysis of %d lines\n", $5
  printf "  kvx_zkck_cc: %.2f s, %.1f MiB\n", $1, $2 / 1024
  printf "  gcc -fsyntax-only -std=c89: %.2f s, %.1f MiB\n", $3, $4 / 1024
  printf "  ratio time %.2f, memory %.2f\n", $1 / $3, $2 / $4 }'
# The same comparison on the SQLite amalgamation, when it is at hand.
sh "$HERE/model/analyse-sqlite.sh" "$BUILD"
