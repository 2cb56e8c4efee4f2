#!/bin/sh
# kvx_check's SARIF on the example project and on a fixture project with a
# suppressed finding, a baseline and a source that does not parse, checked
# against the SARIF 2.1.0 schema taken from a package at test time.
# Exit status 77 (skipped) without the schema or a validator.
# Usage: sh sarif_schema_test.sh BUILD_DIR SOURCE_DIR
set -e
build=$1
src=$2
schema=$(sh "$src/scripts/sarif-schema.sh" 2>/dev/null) || { echo "SARIF schema package unavailable: skipped"; exit 77; }
# Debian's interpreter, which has python3-jsonschema (installed by deps.sh).
py=/usr/bin/python3
[ -x "$py" ] || py=python3
"$py" -c 'import jsonschema' 2>/dev/null || { echo "python3-jsonschema missing: skipped"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/kvx_sarif.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
mkdir -p "$work/p/src"
printf '/* a.c */\nint a(int x)\n{\n    goto out; /* kvx-allow NO_GOTO: fixture */\nout:\n    if (x) return 1;\n    return 0;\n}\n' > "$work/p/src/a.c"
printf 'int broken(void) { return 1 +; }\n' > "$work/p/src/bad.c"
printf 'int b(int y) { if (y) return 2; return 3; }\n' > "$work/p/src/b.c"
"$build/bin/kvx_check" -q --write-baseline "$work/base.json" "$work/p/src/a.c" > /dev/null || true
"$build/bin/kvx_check" -q --format sarif --baseline "$work/base.json" -o "$work/fixture.sarif" \
  "$work/p/src/a.c" "$work/p/src/b.c" "$work/p/src/bad.c" || true
cd "$src/examples/demo"
"$build/bin/kvx_check" -q -o "$work/demo.sarif" main.c counter.c events.c || true
"$py" "$src/tests/check/sarif_valid.py" "$schema" "$work/demo.sarif" "$work/fixture.sarif"
grep -q '"baselineState": "new"' "$work/fixture.sarif"
grep -q '"kind": "inSource"' "$work/fixture.sarif"
grep -q 'bad.c could not be analysed' "$work/fixture.sarif"
