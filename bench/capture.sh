#!/bin/sh
# Overhead of a capture build: the same make build of generated C files,
# once plain and once with every compile going through the capture program
# teskel (which records each file in an application, then runs cc).  Each
# build runs three times, alternating; the best times and their ratio are
# printed.
# Usage: sh bench/capture.sh BUILD_DIR [FILES] [JOBS]
set -e
BUILD=$(cd "${1:-build}" && pwd)
FILES=${2:-300}
JOBS=${3:-2}
TESKEL="$BUILD/bin/teskel"
[ -x "$TESKEL" ] || { echo "no $TESKEL: build first" >&2; exit 1; }
W=$(mktemp -d)
trap 'rm -rf "$W"' EXIT
export XDG_CONFIG_HOME="$W/user"

# A project of FILES sources with a shared header, compiled with -O2.
mkdir -p "$W/proj/include" "$W/prof"
cat > "$W/proj/include/shared.h" <<'H'
#include <stdio.h>
#include <string.h>
#include <stdlib.h>
struct item { int key; char name[32]; struct item *next; };
H
i=0
objs=""
while [ $i -lt "$FILES" ]; do
  cat > "$W/proj/f$i.c" <<C
#include "shared.h"
static struct item *list_$i;
int add_$i(int key, const char *name) {
  struct item *it = malloc(sizeof *it);
  if (!it) return -1;
  it->key = key + $i;
  strncpy(it->name, name, sizeof it->name - 1);
  it->name[sizeof it->name - 1] = 0;
  it->next = list_$i;
  list_$i = it;
  return 0;
}
int count_$i(void) {
  int n = 0;
  for (struct item *it = list_$i; it; it = it->next)
    if (it->key % 2 == 0) n++;
  return n;
}
void print_$i(FILE *f) {
  for (struct item *it = list_$i; it; it = it->next) fprintf(f, "%d %s\n", it->key, it->name);
}
C
  objs="$objs f$i.o"
  i=$((i + 1))
done
cat > "$W/proj/Makefile" <<M
CC = cc
CFLAGS = -O2 -DBENCH -Iinclude
OBJS =$objs
all: \$(OBJS)
%.o: %.c include/shared.h
	\$(CC) \$(CFLAGS) -c \$< -o \$@
M

# The application the capture fills: its profile and makefile only.
cat > "$W/prof/bench.prf" <<'P'
TARQUIN ZKL 1.0 PROFIL FILE
NAME=Bench
MAKE_COMMAND_PATH=make
MAKE_MAKEFILE_NAME_OPTION=-f
MAKE_BUILD_ALL_OPTION=-B
DIALECT=gnu
COMPILE_VARS=|CC||cc|
P
new_application() {
  printf '%b' 'Entities_Definitions DEFINITIONS ::= BEGIN\napplication ::= SEQUENCE OF {\n\tSEQUENCE {\n\t\tidentity oid,\n\t\tname string,\n\t\tlanguage string,\n\t\tprofil string,\n\t\tmakefile string\n\t}\n}\napplication ::= {\n{ "1", "bench", "C", "../prof/bench.prf", "Makefile" }\n}\nEND\n' > "$W/proj/bench.app"
}

now() { date +%s.%N; }
best_plain=""
best_capture=""
better() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }

cd "$W/proj"
make -s -B -j"$JOBS" > /dev/null   # warm the caches
for round in 1 2 3; do
  t0=$(now)
  make -s -B -j"$JOBS" > /dev/null
  t1=$(now)
  best_plain=$(better "$best_plain" "$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')")

  new_application
  t0=$(now)
  make -s -B -j"$JOBS" CC="$TESKEL /app=$W/proj/bench.app /cc=cc" > /dev/null
  t1=$(now)
  best_capture=$(better "$best_capture" "$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')")
done

recorded=$(($(grep -c '^{ "[0-9]*", ' bench.app) - 1))
[ "$recorded" -eq "$FILES" ] || { echo "capture recorded $recorded of $FILES files" >&2; exit 1; }
awk -v p="$best_plain" -v c="$best_capture" -v n="$FILES" -v j="$JOBS" 'BEGIN {
  printf "%d files, make -j%d: plain %.2f s, capture %.2f s, ratio %.2f\n", n, j, p, c, c / p }'
