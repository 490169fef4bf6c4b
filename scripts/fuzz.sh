#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer harnesses with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 20) from its
# checked-in seeds. Fails on a crash, an input slower than 2 s, a leak or
# memory past 2 GB; the input that did it is left in build-fuzz/findings/.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
build=build-fuzz
log=$build/build.log
mkdir -p "$build"
if ! { CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEVRA_FUZZ=ON \
         -DZEVRA_SANITIZE=address,undefined -DZEVRA_BUILD_TESTS=OFF -DZEVRA_BUILD_BENCH=OFF &&
       cmake --build "$build" -j"$(nproc)" --target fuzzers; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "fuzz: the harnesses did not build (log: $log)" >&2
  exit 1
fi

failed=()
mkdir -p "$build/findings"
for seeds in tests/fuzz/corpus/*/; do
  name=$(basename "$seeds")
  work="$build/corpus/$name"
  mkdir -p "$work"
  out="$build/fuzz_$name.log"
  if ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
      "$build/bin/fuzz_$name" -max_total_time="$seconds" -timeout=2 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/findings/${name}-" "$work" "$seeds" >"$out" 2>&1; then
    runs=$(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$out" | grep -o '[0-9]*$' || echo "?")
    echo "fuzz_$name: $runs executions, nothing found"
  else
    echo "fuzz_$name: FAILED (log: $out)"
    tail -40 "$out"
    failed+=("$name")
  fi
done
if [ "${#failed[@]}" -gt 0 ]; then
  echo "fuzz: ${#failed[@]} harness(es) found a fault: ${failed[*]}"
  exit 1
fi
echo "fuzz: all harnesses ran clean"
