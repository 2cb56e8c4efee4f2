#!/bin/sh
# Rule benchmark: the whole default rule set (rules/default.rsf with its
# parameter values) over one large model, in one run of kvx_zkck_cc.
# Prints the analysis time, the rule time and their ratio (target: rules at
# most 2 times the analysis), and the five slowest rules.  The model is the
# SQLite amalgamation in the GNU dialect when it analyses without error,
# else the generated source of gen_source.tcl.
# KVX_BENCH_ALL=1 lists the time of every rule instead of the slowest five.
# Usage: sh bench/rules.sh BUILD_DIR [FUNCTIONS]
set -e
BUILD=${1:-build}
NFUN=${2:-8000}
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "$BUILD" && pwd)
ENGINE="$BUILD/bin/kvx_zkck_cc"
if [ ! -x "$ENGINE" ]; then echo "bench: $ENGINE not built" >&2; exit 1; fi
WORK=$(mktemp -d)
[ -n "$KVX_BENCH_KEEP" ] && echo "bench: work files in $WORK" || trap 'rm -rf "$WORK"' EXIT
: > "$WORK/empty.lst"
SRC=""
if SQL=$(sh "$HERE/../scripts/fetch-sqlite.sh" 2>/dev/null); then
  printf '"%s" -dial gnu -nocccp\n' "$SQL" > "$WORK/c.lst"
  if "$ENGINE" "$WORK/c.lst" "$WORK/empty.lst" "$WORK/rep" >/dev/null 2>&1; then
    SRC=$SQL
  else
    echo "bench: the SQLite amalgamation does not analyse cleanly yet; using the generated source"
  fi
fi
if [ -z "$SRC" ]; then
  SRC="$WORK/gen.c"
  tclsh "$HERE/gen_source.tcl" "$SRC" "$NFUN"
  printf '"%s" -dial ansi -nocccp\n' "$SRC" > "$WORK/c.lst"
fi

tclsh "$HERE/rules_list.tcl" "$BUILD/rules/default.rsf" "$BUILD/rules" "$WORK" "$WORK/times"
export KVX_BENCH_START=$(date +%s%6N)
"$ENGINE" "$WORK/c.lst" "$WORK/rules.lst" "$WORK/report" > "$WORK/out" 2>&1 || true
if [ ! -s "$WORK/times" ]; then
  echo "bench: the run did not complete:" >&2; tail -20 "$WORK/out" >&2; exit 1
fi
if grep -q "Tcl error\|error in rule" "$WORK/out"; then
  echo "bench: rule errors:"; grep -i "error" "$WORK/out" | head -10
fi
LINES=$(wc -l < "$SRC")
VIOL=$(grep -c '^R' "$WORK/report" || true)
awk -v lines="$LINES" -v viol="$VIOL" -v all="${KVX_BENCH_ALL:-0}" '
  { t = $NF; $NF = ""; name = $0; sub(/ +$/, "", name)
    if (name == "analysis") { a = t } else { r += t; tm[name] += t } }
  END {
    printf "rules of the default set over %d lines (%d violations)\n", lines, viol
    printf "  analysis: %.2f s\n", a / 1e6
    printf "  rules: %.2f s\n", r / 1e6
    printf "  ratio rules / analysis: %.2f\n", r / a
    n = 0; for (k in tm) names[++n] = k
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++)
      if (tm[names[j]] > tm[names[i]]) { x = names[i]; names[i] = names[j]; names[j] = x }
    print "  slowest rules:"
    for (i = 1; i <= n && (all || i <= 5); i++) printf "    %-28s %8.3f s\n", names[i], tm[names[i]] / 1e6
  }' "$WORK/times"
