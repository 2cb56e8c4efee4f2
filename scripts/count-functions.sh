#!/bin/sh
# Prints the number of function definitions that GCC itself finds in a C
# source: the definitions listed by -aux-info (every function of the
# translation unit with a body, those of included headers too).
# Usage: count-functions.sh source.c [gcc options...]
# Exits 1 with a message on stderr when gcc is missing or fails.
set -e
if [ $# -lt 1 ]; then
  echo "usage: count-functions.sh source.c [gcc options...]" >&2
  exit 1
fi
SRC=$1
shift
if ! command -v gcc >/dev/null 2>&1; then
  echo "count-functions: gcc is not installed" >&2
  exit 1
fi
AUX=$(mktemp "${TMPDIR:-/tmp}/count-functions.XXXXXX")
trap 'rm -f "$AUX"' EXIT
if ! gcc -fsyntax-only -w -aux-info "$AUX" "$@" "$SRC"; then
  echo "count-functions: gcc could not compile $SRC" >&2
  exit 1
fi
# Each line is "/* file:line:XY */ declaration"; Y is F for a definition.
grep -c ':[NO]F \*/' "$AUX" || true
