#!/bin/sh
# Prints the path of the SARIF 2.1.0 JSON schema, taken from the npm
# package @microsoft/jest-sarif (which ships it for its own validation).
# The package is fetched once with "npm pack" into DIR (default
# $XDG_CACHE_HOME/kvx, else ~/.cache/kvx).  Exits 1 when neither the cache
# nor npm can give it.
# Usage: sh scripts/sarif-schema.sh [DIR]
set -e
pkg="@microsoft/jest-sarif@1.0.0-beta.0"
dir=${1:-${XDG_CACHE_HOME:-$HOME/.cache}/kvx}
schema="$dir/jest-sarif/package/lib/schemas/sarif-2.1.0-rtm.5.json"
if [ ! -f "$schema" ]; then
  command -v npm >/dev/null 2>&1 || exit 1
  mkdir -p "$dir/jest-sarif"
  work=$(mktemp -d "$dir/jest-sarif/fetch.XXXXXX")
  trap 'rm -rf "$work"' EXIT INT TERM
  (cd "$work" && npm pack --silent "$pkg" >/dev/null 2>&1) || exit 1
  tar -xzf "$work"/*.tgz -C "$work" package/lib/schemas || exit 1
  rm -rf "$dir/jest-sarif/package"
  mv "$work/package" "$dir/jest-sarif/package"
fi
echo "$schema"
