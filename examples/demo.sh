#!/bin/sh
# Runs the checker on the example project with the demo rules.
# Usage: sh examples/demo.sh <build directory>
set -e
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$build" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/kvx-demo.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM

# One compile line per translation unit, as the project's compiler sees it.
cat > "$work/compile.lst" <<LINES
-DNDEBUG -I"$here/demo" "$here/demo/main.c"
-DNDEBUG -I"$here/demo" "$here/demo/counter.c"
LINES
# The rule list names rule files of the installation's rules directory.
for r in hello procedures nokey if-block; do
  echo "\"$build/rules/demo/$r.rule\""
done > "$work/rules.lst"

echo "== compile lines"; cat "$work/compile.lst"
echo "== rule list"; cat "$work/rules.lst"
echo "== kvx_zkck_cc compile.lst rules.lst report.txt"
status=0
"$build/bin/kvx_zkck_cc" "$work/compile.lst" "$work/rules.lst" "$work/report.txt" || status=$?
echo "== report file"
if [ -s "$work/report.txt" ]; then cat "$work/report.txt"; else echo "(no violation reported)"; fi
echo "== exit status $status"
exit $status
