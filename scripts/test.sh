#!/usr/bin/env bash
# The test command: installs what is missing, then builds and tests the normal
# and the sanitized trees.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh

# The stress run of the TALVEN module: LeakSanitizer's exit-time scan of it crashes in
# its own tracer when run under ctest (never when run directly), so in the sanitized
# tree it runs with AddressSanitizer and UBSan but without the leak scan.
stress='StressRunOnTalven'

run_tree() {
  local dir=$1; shift
  bash scripts/build.sh "$dir" "$@"
  ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" --timeout 600 -E "$stress"
  ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" \
    ctest --test-dir "$dir" --output-on-failure --timeout 600 -R "$stress"
}

run_tree build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_tree build-asan -DCMAKE_BUILD_TYPE=Debug -DTALVEN_SANITIZE=address,undefined
# Threaded pieces only, under ThreadSanitizer (it cannot share a tree with AddressSanitizer).
tsan_targets=(test_timer test_transfer_queue test_api_base test_aax_host)
cmake -S "$root" -B "$root/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTALVEN_SANITIZE=thread -DTALVEN_BUILD_BENCH=OFF
cmake --build "$root/build-tsan" --parallel "$(nproc)" --target "${tsan_targets[@]}"
TSAN_OPTIONS=halt_on_error=1 \
  ctest --test-dir build-tsan --output-on-failure --parallel "$(nproc)" --timeout 600 -R '^(Timer|TransferQueue|ApiQueues|AaxHostThreads)\.'
# Everything that reads saved state, fed arbitrary bytes for a bounded time.
bash scripts/fuzz.sh "${TALVEN_FUZZ_SECONDS:-60}"
# The Windows x86-64 build, its tests under Wine, and its renders against this tree's.
bash scripts/test-windows.sh
echo "all tests passed"
