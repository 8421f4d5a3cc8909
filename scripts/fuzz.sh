#!/usr/bin/env bash
# fuzz.sh [SECONDS]: builds the libFuzzer targets with clang under ASan/UBSan and runs
# each from the corpus kept in tests/fuzz/corpus for a bounded time. New inputs go to a
# working copy in the build tree; merge them back by hand when they are worth keeping.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
tree="$root/build-fuzz"
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTALVEN_FUZZ=ON -DTALVEN_BUILD_TESTS=OFF -DTALVEN_BUILD_BENCH=OFF -DTALVEN_WERROR=OFF \
  -DTALVEN_SANITIZE=address,undefined,fuzzer-no-link >/dev/null
cmake --build "$tree" --parallel "$(nproc)" --target fuzz_state

work="$tree/corpus-state"
mkdir -p "$work"
cp -n "$root"/tests/fuzz/corpus/* "$work"/ 2>/dev/null || true
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$tree/tests/fuzz/fuzz_state" -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="$tree/" "$work" 2>&1 | tail -n 15
echo "fuzzing ran clean for ${seconds}s"
