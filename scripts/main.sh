#!/usr/bin/env bash
# The main job: builds the plug-in and renders the built-in test signal through it: talven-render loads the
# TALVEN.aaxplugin module built beside it and drives it as an AAX host does.
# Extra arguments go to talven-render (for example -i in.wav --set "Low Gain=6").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
out=build/talven-default.wav
if [ $# -gt 0 ]; then
  build/host/talven-render "$@"
else
  build/host/talven-render -o "$out"
  echo "wrote $out"
fi
