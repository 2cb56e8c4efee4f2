#!/bin/sh
# Checks the example project with the installation's default rule set and
# prints the violations found.
# Usage: sh examples/demo.sh <build directory>
set -e
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$build" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/kvx-demo.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM

# One compile line per translation unit, as the project's compiler sees it.
cat > "$work/compile.lst" <<LINES
-dial ansi -DNDEBUG -I"$here/demo" "$here/demo/main.c"
-dial ansi -DNDEBUG -I"$here/demo" "$here/demo/counter.c"
-dial ansi -DNDEBUG -I"$here/demo" "$here/demo/events.c"
LINES
# The rule list: each rule of the default set after the parameter file
# that sets its values.
tclsh "$here/rule_list.tcl" "$build/rules/default.rsf" "$work"

echo "== compile lines"; cat "$work/compile.lst"
echo "== rule set $build/rules/default.rsf ($(grep -c '^"' "$build/rules/default.rsf") rules)"
echo "== kvx_zkck_cc compile.lst rules.lst report.txt"
status=0
"$build/bin/kvx_zkck_cc" "$work/compile.lst" "$work/rules.lst" "$work/report.txt" || status=$?
echo "== violations"
if [ -s "$work/report.txt" ]; then
  # The report's three-line records as one line each: file(line) rule: message.
  awk '/^F/ { where = substr($0, 2) } /^R/ { rule = substr($0, 2) }
       /^M/ { printf "%s %s: %s\n", where, rule, substr($0, 2); n++ }
       END { printf "== %d violation(s)\n", n }' "$work/report.txt" | sed "s|$here/||"
else
  echo "(no violation reported)"
fi
echo "== exit status $status"
# A run that could not check the sources (status 2) fails the demo.
[ "$status" -lt 2 ]
