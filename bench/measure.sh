# measure.sh - shared by the analysis benchmarks (sourced, not run).
# measure CMD...: prints "seconds kilobytes" (elapsed time, peak resident
# memory) of the best of three runs of CMD; needs $WORK and /usr/bin/time.
# The last line of time's output is read: a command that exits non-zero
# (the engine on sources with errors) gets a line of its own before it.
measure() {
  best=""
  for i in 1 2 3; do
    /usr/bin/time -f "%e %M" -o "$WORK/t" "$@" >/dev/null 2>&1 || true
    cur=$(tail -n 1 "$WORK/t")
    if [ -z "$best" ] || [ "$(echo "$cur $best" | awk '{print ($1 < $3)}')" = 1 ]; then best=$cur; fi
  done
  echo "$best"
}
