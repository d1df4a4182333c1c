#!/usr/bin/env bash
# Latency of the favourites command under Wine: OnCommand to the menu on the screen with 100,
# 1,000 and 10,000 favourites, with favourites on a slow share, a healthy share and a stalled
# drive (the wrong states counted), against the floor of reading the file and testing its paths;
# then how long the DLL stays mapped after FreeLibrary. Builds the 64-bit stand-in editor
# (preset win64) and runs its favourites-latency mode.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb.sh
start_xvfb
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Marigold stand_in_editor
cmake/wine-prefix.sh
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(/usr/lib/wine/wine64 --version)"
cmake/wine-run.sh build/win64/StandInEditor.exe favourites-latency
