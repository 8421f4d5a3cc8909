#!/usr/bin/env bash
# build.sh DIR [cmake args...]: configure and build one tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
cmake -S "$root" -B "$root/$dir" -G Ninja "$@"
cmake --build "$root/$dir" --parallel "$(nproc)"
