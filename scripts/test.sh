#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the project and runs the whole test suite three times: under
# ThreadSanitizer, under AddressSanitizer and UndefinedBehaviorSanitizer, and
# as released; then each fuzz harness briefly, and the Windows DLLs under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test

# The mDNS discovery test needs an Avahi daemon, which needs the system bus;
# started here where the machine allows it (the test says so when it cannot run).
if ! avahi-daemon --check 2>/dev/null; then
  mkdir -p /run/dbus
  [ -S /run/dbus/system_bus_socket ] || dbus-daemon --system --fork || true
  avahi-daemon --daemonize --no-drop-root || echo "no Avahi daemon: the mDNS test will be skipped"
fi

jobs=$(nproc)
run_suite() {
  local dir=$1; shift
  echo "=== ${dir} ==="
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

# Benchmarks are built (so they keep compiling) but not run.
run_suite build-tsan -DZEVRA_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=Debug -DZEVRA_SANITIZE=thread -DZEVRA_BUILD_BENCH=OFF
run_suite build-asan -DZEVRA_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=Debug -DZEVRA_SANITIZE=address,undefined -DZEVRA_BUILD_BENCH=OFF
run_suite build -DZEVRA_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEVRA_BUILD_BENCH=ON

# Each libFuzzer harness for a short while (scripts/fuzz.sh 600 for a long run).
echo "=== fuzz ==="
bash scripts/fuzz.sh 20

# The Windows DLLs, cross-built and tested under Wine (skipped, saying why, where that cannot be had).
echo "=== windows ==="
bash scripts/test-windows.sh
