#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need (as root),
# skipping apt entirely when everything is already there.
set -euo pipefail

packages=(
  cmake make g++ binutils
  libgtest-dev libgmock-dev libbenchmark-dev
  libpugixml-dev libtirpc-dev libreadline-dev
  python3 python3-pyvisa python3-pyvisa-py lxi-tools
  chromium
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi
