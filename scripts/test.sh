#!/usr/bin/env bash
# Builds the project and runs the whole test suite three times: under
# ThreadSanitizer, under AddressSanitizer and UndefinedBehaviorSanitizer, and
# as released; then each fuzz harness briefly.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test

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
