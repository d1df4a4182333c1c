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
MARIGOLD_SHIPPED_DLL=$shipped cmake/wine-run.sh build/win64/StandInEditor.exe demo
