#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages a job needs (as root), skipping apt entirely when
# everything is already there.
#   install-deps.sh build   what building and running the stack needs (the demo)
#   install-deps.sh test    that, plus the test suite's extras
#   install-deps.sh windows the Windows cross-build and Wine
set -euo pipefail

build_packages=(
  cmake make g++ binutils pkgconf rpcsvc-proto file dpkg-dev
  libpugixml-dev libtirpc-dev libreadline-dev libcli11-dev libusb-1.0-0-dev libavahi-client-dev
  python3
)
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-pyvisa python3-pyvisa-py python3-pytest python3-jsonschema python3-serial lxi-tools
  python3-mypy pycodestyle python3-build python3-setuptools python3-wheel
  avahi-daemon dbus man-db lintian
  chromium
  clang libclang-rt-14-dev
)
# Cross-building for Windows and running the result under Wine.
windows_packages=(
  cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools googletest wine64
)

case "${1:-}" in
  build) packages=("${build_packages[@]}") ;;
  test) packages=("${build_packages[@]}" "${test_packages[@]}") ;;
  windows) packages=("${windows_packages[@]}") ;;
  *) echo "usage: $0 build|test|windows" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi
