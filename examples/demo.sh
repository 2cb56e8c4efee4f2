#!/bin/sh
# Checks the example project with the installation's default rule set, as a
# user checks their own: one kvx_check command.
# Usage: sh examples/demo.sh <build directory>
set -e
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$build" && pwd)
cd "$here/demo"
echo "== kvx_check --format text main.c counter.c events.c   (in examples/demo)"
status=0
"$build/bin/kvx_check" --format text main.c counter.c events.c || status=$?
echo "== exit status $status (0: no finding, 1: findings, 2: a source could not be analysed)"
# A run that could not check the sources (status 2) fails the demo.
[ "$status" -lt 2 ]
