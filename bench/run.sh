#!/usr/bin/env bash
# Builds the benchmarks in Release and prints their tables.
# usage: bench/run.sh [benchmark-filter]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALVEN_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build-bench" --parallel "$(nproc)" >/dev/null

json="$root/build-bench/bench_process.json"
"$root/build-bench/bench/bench_process" --benchmark_filter="${1:-.}" --benchmark_format=json >"$json"
python3 "$root/bench/process_table.py" "$json"
[ $# -gt 0 ] || "$root/build-bench/bench/bench_dsp"
