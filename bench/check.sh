#!/bin/sh
# kvx_check's own cost: kvx_check on the SQLite amalgamation with the
# default rule set against the checker alone on the same compile line and
# rule list (what kvx_check prepares for it), best of RUNS runs each,
# alternated.  Target: kvx_check adds at most 5 % (ratio <= 1.05) to the
# CPU time of the run (its own and its children's, which a shared machine
# disturbs less than the elapsed time), best of the runs; the ratio of all
# runs together and of the elapsed times are shown too.
# Usage: sh bench/check.sh BUILD_DIR [RUNS]
set -e
BUILD=${1:-build}
RUNS=${2:-6}
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "$BUILD" && pwd)
SQL=$(sh "$HERE/../scripts/fetch-sqlite.sh") || { echo "bench: the SQLite amalgamation is not available" >&2; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT INT TERM
# The line and the rules kvx_check's run gives the checker: the GNU
# profile's dialect, the default set's rules with their parameter files.
printf '"%s" /dial gnu\n' "$SQL" > "$WORK/c.lst"
tclsh "$HERE/../examples/rule_list.tcl" "$BUILD/rules/default.rsf" "$WORK"

# The children's CPU time so far, in milliseconds: the second line of
# "times", which must run in this shell (a command substitution is a
# subshell with children of its own).
cpu_of() { awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/); printf "%d\n", (u[1] * 60 + u[2] + s[1] * 60 + s[2]) * 1000 }' "$1"; }
now() { date +%s%N; }
best() { if [ "$1" -eq 0 ] || [ "$2" -lt "$1" ]; then echo "$2"; else echo "$1"; fi; }
ref_wall=0 ref_cpu=0 chk_wall=0 chk_cpu=0 ref_sum=0 chk_sum=0
# One measured run of "ref" or "chk": sets cpu and wall (milliseconds).
measure() {
  times > "$WORK/ta"; ta=$(now)
  if [ "$1" = ref ]; then
    (cd "$BUILD/bin" && ./kvx_zkck_cc "$WORK/c.lst" "$WORK/rules.lst" "$WORK/report" > "$WORK/ref.out" 2>&1) || true
  else
    "$BUILD/bin/kvx_check" -q --format gcc -o "$WORK/check.out" "$SQL" || true
  fi
  times > "$WORK/tb"; tb=$(now)
  cpu=$(( $(cpu_of "$WORK/tb") - $(cpu_of "$WORK/ta") ))
  wall=$(( (tb - ta) / 1000000 ))
}
i=0
while [ $i -lt "$RUNS" ]; do
  # Alternate which one runs first, so that neither profits from the
  # other's warm caches.
  if [ $((i % 2)) -eq 0 ]; then order="ref chk"; else order="chk ref"; fi
  for which in $order; do
    measure "$which"
    if [ "$which" = ref ]; then
      ref_cpu=$(best $ref_cpu $cpu); ref_wall=$(best $ref_wall $wall); ref_sum=$((ref_sum + cpu))
    else
      chk_cpu=$(best $chk_cpu $cpu); chk_wall=$(best $chk_wall $wall); chk_sum=$((chk_sum + cpu))
    fi
  done
  i=$((i + 1))
done
records=$(grep -c '^R' "$WORK/report" || true)
findings=$(wc -l < "$WORK/check.out")
echo "checker alone: ${ref_cpu} ms CPU, ${ref_wall} ms elapsed ($records records)"
echo "kvx_check:     ${chk_cpu} ms CPU, ${chk_wall} ms elapsed ($findings findings shown)"
awk -v r="$ref_cpu" -v c="$chk_cpu" -v rw="$ref_wall" -v cw="$chk_wall" -v rs="$ref_sum" -v cs="$chk_sum" 'BEGIN {
  printf "ratio kvx_check / checker: %.3f CPU, best runs (target <= 1.05); %.3f CPU, all runs; %.3f elapsed\n", c / r, cs / rs, cw / rw }'
