#!/usr/bin/env bash
# The main job: builds the shipped 32-bit Marigold.dll, then loads the plug-in into the stand-in
# editor under Wine and Xvfb and shows what it answers. This machine kind cannot execute 32-bit
# code, so the stand-in runs the 64-bit build of the same sources and reads the shipped DLL's
# resources and version block as data.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/setup.sh

step() { printf '\n== %s\n' "$*"; }

step "shipped DLL (i686): build/win32/Marigold.dll"
cmake --preset win32 >/dev/null
cmake --build --preset win32
bash tests/e2e/check-dll.sh i686-w64-mingw32-objdump pei-i386 build/win32/Marigold.dll

step "64-bit build of the same sources and the stand-in editor"
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Marigold stand_in_editor

step "Marigold in the stand-in editor (wine64, Xvfb)"
source scripts/xvfb.sh
start_xvfb
cmake/wine-prefix.sh
shipped="Z:${root//\//\\}\\build\\win32\\Marigold.dll"

# Screenshots: the stand-in leaves <name>.request in build/demo while its menu is open; this
# watcher photographs the screen into <name>.png and answers with <name>.done.
shots=$root/build/demo
mkdir -p "$shots"
rm -f "$shots"/*.request "$shots"/*.done "$shots"/*.png
(
  while :; do
    for request in "$shots"/*.request; do
      [ -e "$request" ] || continue
      name=${request%.request}
      import -window root -display "$DISPLAY" "$name.png" >/dev/null 2>&1 || true
      rm -f "$request"
      touch "$name.done"
    done
    sleep 0.1
  done
) &
watcher=$!
status=0
MARIGOLD_SHIPPED_DLL=$shipped MARIGOLD_SCREENSHOT_DIR="Z:${shots//\//\\}" \
  cmake/wine-run.sh build/win64/StandInEditor.exe demo || status=$?
kill "$watcher" 2>/dev/null || true
rm -f "$shots"/*.done
for png in "$shots"/*.png; do
  [ -e "$png" ] && echo "screenshot: ${png#"$root"/}"
done
exit "$status"
