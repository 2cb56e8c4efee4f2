#!/bin/sh
# Runs every benchmark of the project against the build tree BUILD_DIR.
# Each prints its figures as ratios to a reference run made in the same script.
# Usage: sh bench/run.sh BUILD_DIR
set -e
BUILD=${1:-build}
HERE=$(cd "$(dirname "$0")" && pwd)
echo "== preprocessing (kvx_cccp against gcc -E)"
sh "$HERE/preprocess.sh" "$BUILD"
echo "== analysis (kvx_zkck_cc against gcc -fsyntax-only)"
sh "$HERE/analyse.sh" "$BUILD"
echo "== MapRole against Tcl foreach (model of the generated source)"
sh "$HERE/maprole.sh" "$BUILD"
echo "== MapRole against Tcl foreach (synthetic model)"
sh "$HERE/model/run-maprole.sh" "$BUILD"
echo "== kvx_check against the checker alone (SQLite amalgamation, default rule set)"
sh "$HERE/check.sh" "$BUILD"
echo "== capture build (make through teskel against the plain build)"
sh "$HERE/capture.sh" "$BUILD"
