#!/bin/sh
# Looks at kvx_check's HTML report in a real browser: checks the example
# project, writes the report and takes screenshots of it with headless
# Chromium (Debian's package, installed with apt-get when missing).
# Usage: sh scripts/screenshots.sh BUILD_DIR [OUTPUT_DIR]
set -e
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
out=${2:-$build/screenshots}
if ! command -v chromium >/dev/null 2>&1; then
  SUDO=""
  if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends chromium
fi
mkdir -p "$out"
work=$(mktemp -d "${TMPDIR:-/tmp}/kvx_shots.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
# The example project, one source that does not parse and one suppressed
# finding, so that every part of the page shows.
cp -r "$here/examples/demo" "$work/demo"
printf '/* broken.c - does not parse */\nint broken(void) { return 1 +; }\n' > "$work/demo/broken.c"
sed -i 's|^    switch (out->kind) {|    switch (out->kind) { /* kvx-allow SWITCH_DEFAULT: every kind is handled */|' "$work/demo/events.c"
(cd "$work/demo" && "$build/bin/kvx_check" -q -o "$out/report.html" main.c counter.c events.c broken.c) || true
shot() {
  chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile-$1" --hide-scrollbars --window-size="$2" \
    --screenshot="$out/$1.png" "file://$out/report.html$3" > "$work/chromium-$1.log" 2>&1
}
shot report-wide 1400,2200 ""
shot report-narrow 700,1400 ""
shot report-filtered 1400,900 "#rule=COMPOUND_BODY"
echo "report and screenshots in $out"
