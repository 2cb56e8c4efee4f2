#!/bin/sh
# Runs the MapRole benchmark of a build tree.
# Usage: sh bench/model/run-maprole.sh [build_dir] [number_of_expressions]
BUILD=${1:-build}
N=${2:-500000}
if [ ! -x "$BUILD/bin/kvx_bench_maprole" ]; then
  echo "run-maprole.sh: $BUILD/bin/kvx_bench_maprole not built (cmake --build $BUILD --target kvx_bench_maprole)" >&2
  exit 1
fi
exec "$BUILD/bin/kvx_bench_maprole" "$N"
