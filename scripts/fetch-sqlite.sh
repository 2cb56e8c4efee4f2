#!/bin/sh
# Fetches the SQLite amalgamation used by the real-code tests and the
# benchmarks into bench/data/package/deps/sqlite3/ (once; later calls reuse
# it) and prints the path of sqlite3.c.  Exits 1 with a message on stderr
# when it cannot be had (no npm, offline).
set -e
HERE=$(cd "$(dirname "$0")/.." && pwd)
DATA="$HERE/bench/data"
SRC="$DATA/package/deps/sqlite3/sqlite3.c"
if [ ! -f "$SRC" ]; then
  if ! command -v npm >/dev/null 2>&1; then
    echo "fetch-sqlite: npm is not installed" >&2
    exit 1
  fi
  mkdir -p "$DATA"
  if ! (cd "$DATA" && npm pack better-sqlite3@12 >/dev/null 2>&1); then
    echo "fetch-sqlite: npm pack better-sqlite3@12 failed (offline?)" >&2
    exit 1
  fi
  TGZ=$(ls "$DATA"/better-sqlite3-*.tgz | tail -n 1)
  (cd "$DATA" && tar xzf "$TGZ" package/deps/sqlite3)
  rm -f "$TGZ"
fi
echo "$SRC"
