#!/bin/sh
# MapRole benchmark on the model of the generated 200,000-line source: cost
# per visited expression against a Tcl foreach over a list of the same
# length, with the same one-command filter and script, in the same run.
# Usage: sh bench/maprole.sh BUILD_DIR [FUNCTIONS]
set -e
BUILD=${1:-build}
NFUN=${2:-8000}
HERE=$(cd "$(dirname "$0")" && pwd)
ENGINE="$BUILD/bin/kvx_zkck_cc"
if [ ! -x "$ENGINE" ]; then echo "bench: $ENGINE not built" >&2; exit 1; fi
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
tclsh "$HERE/gen_source.tcl" "$WORK/gen.c" "$NFUN"
printf '"%s" -dial ansi -nocccp\n' "$WORK/gen.c" > "$WORK/c.lst"
printf '"%s"\n' "$HERE/maprole.rule" > "$WORK/r.lst"
"$ENGINE" "$WORK/c.lst" "$WORK/r.lst" 2>/dev/null
