#!/usr/bin/env bash
# Builds the project and runs the whole test suite: once as released, once
# under AddressSanitizer and UndefinedBehaviorSanitizer, and the concurrency
# tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
run_suite() {
  local dir=$1; shift
  local label=$1; shift
  echo "=== ${dir} ==="
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  if [ -n "$label" ]; then
    ctest --test-dir "$dir" --output-on-failure -j"$jobs" -L "$label"
  else
    ctest --test-dir "$dir" --output-on-failure -j"$jobs"
  fi
}

# Benchmarks are built (so they keep compiling) but not run.
run_suite build-tsan concurrency -DCMAKE_BUILD_TYPE=Debug -DZEVRA_SANITIZE=thread -DZEVRA_BUILD_BENCH=OFF
run_suite build-asan "" -DCMAKE_BUILD_TYPE=Debug -DZEVRA_SANITIZE=address,undefined -DZEVRA_BUILD_BENCH=OFF
run_suite build "" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEVRA_BUILD_BENCH=ON
