#!/usr/bin/env bash
# The LV2 peer benchmark: installs the peer equalisers from Debian, builds TALVEN.lv2 and the
# timing host in Release, makes the 60 s pink-noise file once, and prints one table, the whole
# run pinned to one core.
# usage: bench/run-lv2-peers.sh [CORE]   (default: core 1)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-lv2-bench"
core="${1:-1}"

peers=(calf-plugins x42-plugins lsp-plugins-lv2 zam-plugins eq10q)
missing=()
for p in "${peers[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing the peers: ${missing[*]}" >&2
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}" >&2 ||
    { $SUDO apt-get update >&2 && $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}" >&2; }
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALVEN_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target lv2-eq-bench TALVEN.lv2 --parallel 2 >/dev/null

noise="$build/pink-noise-60s.wav"
[ -f "$noise" ] || "$build/bench/lv2/lv2-eq-bench" --make-noise "$noise"

echo "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), core $core, $(date -u +%Y-%m-%d)"
LV2_PATH="$build/lv2:/usr/lib/lv2" taskset -c "$core" \
  "$build/bench/lv2/lv2-eq-bench" --input "$noise" --plugins "$root/bench/lv2/peers.txt" \
  --rounds 5 --blocks 64,256,512,2048
