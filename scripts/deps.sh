#!/bin/sh
# Installs, with apt-get and only when something is missing, the Debian
# packages the project needs to build, test and run.
set -e
PKGS="g++ make cmake ninja-build pkg-config tcl8.6-dev bison libgtest-dev qt6-base-dev xvfb xauth nlohmann-json3-dev python3-jsonschema"
missing=""
for p in $PKGS; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
if [ -z "$missing" ]; then
  exit 0
fi
echo "Installing missing packages:$missing"
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $missing
