#!/usr/bin/env bash
# The Windows x86-64 tree: cross-builds with mingw-w64 into build-win/, checks that the outputs import
# only system DLLs and that the module exports only its entry points, runs the tests under Wine, and
# compares what the Windows programs print and render with the Linux ones (from the Linux tree build/,
# which scripts/test.sh builds first; TALVEN_LINUX_TREE names another).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh

dir=build-win
linux_tree=${TALVEN_LINUX_TREE:-build}
linux_render=$linux_tree/host/talven-render
linux_plughost=$linux_tree/host/plughost/plughost
started=$SECONDS

cmake -S "$root" -B "$root/$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/$dir" --parallel "$(nproc)"
built=$SECONDS

# The runtime is linked in statically: a module or program must load on a bare Windows.
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comctl32|comdlg32|wininet|opengl32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
foreign=0
while IFS= read -r -d '' binary; do
  while IFS= read -r dll; do
    if ! grep -qiE "$system_dlls" <<<"$dll"; then
      echo "$binary imports $dll"
      foreign=1
    fi
  done < <(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p')
done < <(find "$dir" \( -path "$dir/wineprefix" -o -path '*/CMakeFiles' \) -prune -o \
           \( -name '*.exe' -o -name '*.dll' -o -name '*.aaxplugin' \) -type f -print0)
if [ "$foreign" -ne 0 ]; then
  echo "Windows outputs import non-system DLLs"
  exit 1
fi

# A host finds the module by the seven undecorated ACF names; nothing else of the framework may leak out.
module=$dir/TALVEN.aaxplugin/Contents/x64/TALVEN.aaxplugin
exports=$(x86_64-w64-mingw32-objdump -p "$module" |
  sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
expected='ACFCanUnloadNow ACFGetClassFactory ACFGetSDKVersion ACFRegisterComponent ACFRegisterPlugin ACFShutdown ACFStartup '
if [ "$exports" != "$expected" ]; then
  echo "$module exports: $exports"
  exit 1
fi

export WINEPREFIX="$root/$dir/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
# One persistent server for the whole run: without it every program pays the server's start-up. Its output
# goes to /dev/null, or it would hold the caller's pipe open.
wineserver -k >/dev/null 2>&1 || true
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  timeout 300 wineboot -i </dev/null >/dev/null 2>&1
fi
# A crashing program must fail its test, not wait on a dialog, and with no debugger to attach it exits
# with its exception code (the automatic debugger sometimes ends it with status 0). Run alone, this first
# program also brings up the prefix's services: two programs starting together on a fresh server can hang.
timeout 120 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null
timeout 120 wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d false /f \
  </dev/null >/dev/null

timeout 1800 ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" --timeout 600
tested=$SECONDS

# The Windows renderer against the Linux one: the same samples up to the C libraries' last bits.
compare_render() {
  local name=$1; shift
  local linux_says win_says
  linux_says=$("$linux_render" -o "$dir/render-linux.wav" "$@")
  win_says=$(timeout 300 wine "$dir/host/talven-render.exe" -o "$dir/render-win.wav" "$@" </dev/null | tr -d '\r')
  echo "render ($name): Linux $linux_says, Windows $win_says"
  [ "$linux_says" = "$win_says" ]
  python3 scripts/compare-renders.py "$dir/render-linux.wav" "$dir/render-win.wav" 1e-6
}
compare_render "default signal"
compare_render "driven, oversampled, every band moved" --set "Drive=12" --set "Oversampling=Oversampling On" \
  --set "Low Gain=6" --set "Low Mid Gain=-4" --set "Mid Gain=5" --set "High Mid Gain=-3" --set "High Gain=4" \
  --set "Trim=-2"

# The module in each platform's bundle, through our host on that platform: the same description, byte for
# byte but for line ends, and the same render of the default signal.
linux_bundle=$linux_tree/TALVEN.aaxplugin
win_bundle=$dir/TALVEN.aaxplugin
"$linux_plughost" describe "$linux_bundle" --json >"$dir/describe-linux.json"
timeout 300 wine "$dir/host/plughost/plughost.exe" describe "$win_bundle" --json </dev/null | tr -d '\r' \
  >"$dir/describe-win.json"
if ! cmp -s "$dir/describe-linux.json" "$dir/describe-win.json"; then
  echo "plughost describe --json differs between Linux and Windows:"
  diff "$dir/describe-linux.json" "$dir/describe-win.json" | head -40
  exit 1
fi
echo "plughost describe --json: Linux and Windows agree ($(wc -c <"$dir/describe-linux.json") bytes)"
linux_says=$("$linux_plughost" render "$linux_bundle" -o "$dir/plughost-linux.wav")
win_says=$(timeout 300 wine "$dir/host/plughost/plughost.exe" render "$win_bundle" -o "$dir/plughost-win.wav" \
  </dev/null | tr -d '\r')
echo "plughost render (default signal): Linux $linux_says, Windows $win_says"
[ "$linux_says" = "$win_says" ]
python3 scripts/compare-renders.py "$dir/plughost-linux.wav" "$dir/plughost-win.wav" 1e-6

echo "Windows tree: build $((built - started)) s, tests $((tested - built)) s, renders $((SECONDS - tested)) s"
