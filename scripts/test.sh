#!/usr/bin/env bash
# The test command: installs what is missing, then builds and tests the normal
# and the sanitized trees.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh

run_tree() {
  local dir=$1; shift
  bash scripts/build.sh "$dir" "$@"
  ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" --timeout 600
}

run_tree build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_tree build-asan -DCMAKE_BUILD_TYPE=Debug -DTALVEN_SANITIZE=address,undefined
echo "all tests passed"
