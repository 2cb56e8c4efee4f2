#!/bin/sh
# Analysis of the SQLite amalgamation: kvx_zkck_cc (in-process
# preprocessing, parsing and the whole model, no rules) against
# gcc -fsyntax-only -std=c89 on the same text, as time and peak-memory
# ratios.  System headers are left out (both read a copy without
# "#include <...>" lines, after a few typedefs of the library types the
# source uses), so that both analyse the same text whatever headers the
# machine has; both report the errors of what the typedefs do not cover
# and read on.  gcc's time there is mostly its handling of those errors
# (its suggestions for undeclared names), so the memory ratio is the
# figure to read.
# Usage: sh bench/model/analyse-sqlite.sh BUILD_DIR [sqlite3.c]
set -e
BUILD=${1:-build}
HERE=$(cd "$(dirname "$0")" && pwd)
SRC=${2:-"$HERE/../data/package/deps/sqlite3/sqlite3.c"}
ENGINE="$BUILD/bin/kvx_zkck_cc"
if [ ! -x "$ENGINE" ]; then echo "bench: $ENGINE not built" >&2; exit 1; fi
if [ ! -f "$SRC" ]; then echo "bench: skipped: no SQLite amalgamation (scripts/fetch-sqlite.sh fetches it)"; exit 0; fi
if ! command -v gcc >/dev/null 2>&1; then echo "bench: skipped: gcc is not installed"; exit 0; fi
if [ ! -x /usr/bin/time ]; then echo "bench: skipped: /usr/bin/time is not installed"; exit 0; fi
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
{
  for t in "char *va_list" "unsigned long size_t" "long ptrdiff_t" "long intptr_t" \
           "unsigned long uintptr_t" "struct _IO_FILE FILE" "unsigned char uint8_t" \
           "unsigned short uint16_t" "unsigned int uint32_t" "unsigned long uint64_t" \
           "signed char int8_t" "short int16_t" "int int32_t" "long int64_t" "long off_t" \
           "long time_t" "int pid_t" "unsigned int mode_t" "unsigned int uid_t" \
           "unsigned int gid_t" "long ssize_t" "int wchar_t"; do
    echo "typedef $t;"
  done
  grep -v '^[ 	]*#[ 	]*include[ 	]*<' "$SRC"
} > "$WORK/sqlite3.c"
printf '"%s" -dial ansi -nocccp\n' "$WORK/sqlite3.c" > "$WORK/c.lst"
: > "$WORK/r.lst"
. "$HERE/../measure.sh"
LINES=$(wc -l < "$WORK/sqlite3.c")
K=$(measure "$ENGINE" "$WORK/c.lst" "$WORK/r.lst")
G=$(measure gcc -fsyntax-only -std=c89 "$WORK/sqlite3.c")
echo "$K $G $LINES" | awk '{
  printf "analysis of the SQLite amalgamation, %d lines\n", $5
  printf "  kvx_zkck_cc: %.2f s, %.1f MiB\n", $1, $2 / 1024
  printf "  gcc -fsyntax-only -std=c89: %.2f s, %.1f MiB\n", $3, $4 / 1024
  printf "  ratio time %.2f, memory %.2f\n", $1 / $3, $2 / $4 }'
