#!/bin/sh
# Preprocessing benchmark: kvx_cccp against gcc -E on the SQLite
# amalgamation, with full macro expansion, in the same run.
# Usage: sh bench/preprocess.sh BUILD_DIR
set -e
BUILD=${1:-build}
HERE=$(cd "$(dirname "$0")" && pwd)
DATA="$HERE/data"
CCCP="$BUILD/bin/kvx_cccp"
SRC="$DATA/package/deps/sqlite3/sqlite3.c"
RUNS=${KVX_BENCH_RUNS:-3}

if [ ! -x "$CCCP" ]; then
  echo "bench: $CCCP not built" >&2
  exit 1
fi
mkdir -p "$DATA"
if [ ! -f "$SRC" ]; then
  echo "bench: fetching the SQLite amalgamation (npm pack better-sqlite3@12)"
  if ! command -v npm >/dev/null 2>&1 || ! (cd "$DATA" && npm pack better-sqlite3@12 >/dev/null 2>&1); then
    echo "bench: skipped: the SQLite amalgamation cannot be fetched (offline?)"
    exit 0
  fi
  TGZ=$(ls "$DATA"/better-sqlite3-*.tgz | tail -n 1)
  (cd "$DATA" && tar xzf "$TGZ" package/deps/sqlite3)
fi
if ! command -v gcc >/dev/null 2>&1; then
  echo "bench: skipped: gcc is not installed"
  exit 0
fi

# System headers are left out: the copy has no "#include <...>" lines, and
# both preprocessors read the same copy.
COPY="$DATA/sqlite3-noinc.c"
grep -v '^[ 	]*#[ 	]*include[ 	]*<' "$SRC" > "$COPY"
OUT="$DATA/out"
mkdir -p "$OUT"

report() {
  echo "   kvx_cccp: $1 (seconds, peak KB)"
  echo "   gcc -E:   $2 (seconds, peak KB)"
  awk -v a="$1" -v b="$2" 'BEGIN{split(a,x," ");split(b,y," ");
    t = (y[1] > 0) ? x[1] / y[1] : 0; m = (y[2] > 0) ? x[2] / y[2] : 0;
    printf "   ratio to gcc -E: time %.2f, peak memory %.2f\n", t, m}'
}

# best_of CMD...: prints "seconds peak_kilobytes" of the fastest of $RUNS runs
best_of() {
  best=""
  i=0
  while [ $i -lt "$RUNS" ]; do
    if [ -x /usr/bin/time ]; then
      /usr/bin/time -f "%e %M" -o "$OUT/time" "$@" >/dev/null 2>"$OUT/stderr" || true
    else
      python3 -c 'import resource,subprocess,sys,time
t=time.time(); subprocess.call(sys.argv[2:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
e=time.time()-t; m=resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
open(sys.argv[1],"w").write("%.2f %d\n"%(e,m))' "$OUT/time" "$@"
    fi
    line=$(tail -n 1 "$OUT/time")
    if [ -z "$best" ] || awk -v a="$line" -v b="$best" 'BEGIN{split(a,x," ");split(b,y," ");exit !(x[1]<y[1])}'; then
      best=$line
    fi
    i=$((i + 1))
  done
  echo "$best"
}

ours=$(best_of "$CCCP" -dial ansi -trigraphs -mode=exp "$COPY" "$OUT/sqlite3.kvx.i")
gcc=$(best_of gcc -E "$COPY" -o "$OUT/sqlite3.gcc.i")
echo "1. SQLite amalgamation without its #include <...> lines ($(wc -c < "$COPY") bytes), best of $RUNS runs"
report "$ours" "$gcc"

# The whole amalgamation with the system headers: gcc's predefined macros
# are given to kvx_cccp as a header included first, and its include search
# list as -I options.
gcc -dM -E -x c /dev/null > "$OUT/predef.h"
printf '#include "predef.h"\n#include "%s"\n' "$SRC" > "$OUT/whole.c"
INC=$(gcc -E -x c -v /dev/null 2>&1 | sed -n '/^#include <...> search starts here:/,/^End of search list./p' | sed -n 's/^ \(\/.*\)$/-I \1/p')
# shellcheck disable=SC2086
ours=$(best_of "$CCCP" -dial gnu -trigraphs -mode=exp $INC "$OUT/whole.c" "$OUT/whole.kvx.i")
gcc=$(best_of gcc -E -w "$OUT/whole.c" -o "$OUT/whole.gcc.i")
echo "2. SQLite amalgamation with the system headers, best of $RUNS runs"
report "$ours" "$gcc"

# The same in the GNU dialect with the shipped option file, as a user runs
# it: util/gnu.def holds gcc's predefined macros and include directories.
DEF="$HERE/../util/gnu.def"
ours=$(best_of "$CCCP" -dial gnu -trigraphs -mode=exp -ddef "$DEF" "$SRC" "$OUT/gnu.kvx.i")
gcc=$(best_of gcc -E -w "$SRC" -o "$OUT/gnu.gcc.i")
echo "3. SQLite amalgamation in the GNU dialect with util/gnu.def, best of $RUNS runs"
report "$ours" "$gcc"
