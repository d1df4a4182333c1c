#!/usr/bin/env bash
# The main job: builds the shipped 32-bit Marigold.dll, then loads the plug-in into the stand-in
# editor under Wine and Xvfb and shows what it answers. Where this machine executes 32-bit
# programs, the 32-bit stand-in loads build/win32/Marigold.dll itself; elsewhere the 64-bit
# stand-in loads the 64-bit twin built from the same sources and reads the shipped DLL's
# resources and version block as data. MARIGOLD_DEMO_ZIP takes both from a release zip instead.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/setup.sh
source scripts/xvfb.sh
source scripts/wine32.sh

step() { printf '\n== %s\n' "$*"; }
dos() { local path=${1//\//\\}; echo "Z:$path"; }

step "shipped DLL (i686): build/win32/Marigold.dll"
cmake --preset win32 >/dev/null
cmake --build --preset win32
bash tests/e2e/check-dll.sh i686-w64-mingw32-objdump pei-i386 build/win32/Marigold.dll

start_xvfb
cmake/wine-prefix.sh
shipped=$(dos "$root/build/win32/Marigold.dll")
# MARIGOLD_DEMO_ZIP (a path from the repository's root) names a release zip: the plug-in and the
# checker then come from it.
unpacked=""
if [ -n "${MARIGOLD_DEMO_ZIP:-}" ]; then
  unpacked=$root/build/demo-zip
  rm -rf "$unpacked"
  python3 -m zipfile -e "$MARIGOLD_DEMO_ZIP" "$unpacked"
  shipped=$(dos "$unpacked/Marigold.dll")
fi
if runs_32bit_code; then
  step "this machine runs 32-bit Windows programs: the shipped DLL in the 32-bit stand-in editor"
  cmake --preset win32-tests >/dev/null
  cmake --build --preset win32-tests --target stand_in_editor marigold_check_program
  editor=build/win32-tests/StandInEditor.exe
  checker=build/win32-tests/marigold-check.exe
  plugin=$shipped
else
  step "this machine runs no 32-bit code: the 64-bit twin in the 64-bit stand-in editor"
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 --target Marigold stand_in_editor marigold_check_program
  editor=build/win64/StandInEditor.exe
  checker=build/win64/marigold-check.exe
  plugin=$(dos "$root/build/win64/Marigold.dll")
fi
[ -z "$unpacked" ] || [ "$plugin" != "$shipped" ] || checker=$unpacked/marigold-check.exe
echo "stand-in editor $editor, plug-in $plugin"

# Screenshots: the stand-in leaves <name>.request in build/demo while its menu is open; this
# watcher photographs the screen into <name>.png and answers with <name>.done.
shots=$root/build/demo
mkdir -p "$shots"
rm -f "$shots"/*.request "$shots"/*.done "$shots"/*.png "$shots"/*.geometry
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
MARIGOLD_PLUGIN_DLL=$plugin MARIGOLD_SHIPPED_DLL=$shipped MARIGOLD_SCREENSHOT_DIR=$(dos "$shots") \
  cmake/wine-run.sh "$editor" demo || status=$?
kill "$watcher" 2>/dev/null || true
rm -f "$shots"/*.done
# The user guide shows these very pictures: the editor window and its open menus, cut out of the
# screen by <name>.geometry ("crop W H X Y"), each disabled entry framed with a note, since Windows
# draws it like an enabled one ("mark LEFT TOP RIGHT BOTTOM POPUP-BOTTOM", screen coordinates).
picture() {
  local png=$1 out=$2 geometry=${1%.png}.geometry
  local w h x y l t r b below
  local -a draw=()
  [ -e "$geometry" ] || {
    cp "$png" "$out"
    return
  }
  read -r _ w h x y < <(grep '^crop' "$geometry")
  while read -r _ l t r b below; do
    draw+=(-fill none -stroke '#d00000' -strokewidth 2
      -draw "rectangle $((l - x - 2)),$((t - y - 1)) $((r - x + 1)),$((b - y))"
      -stroke none -fill '#d00000' -font Noto-Sans-CJK-JP -pointsize 13 -gravity NorthEast
      -annotate "+$((x + w - r))+$((below - y + 2))" '↑ 無効 (選べません) / disabled' -gravity NorthWest)
  done < <(grep '^mark' "$geometry")
  # No date chunks: an unchanged picture keeps its bytes.
  convert "$png" -crop "${w}x${h}+${x}+${y}" +repage "${draw[@]}" -strip "$out"
}
mkdir -p docs/images
for png in "$shots"/*.png; do
  [ -e "$png" ] || continue
  echo "screenshot: docs/images/${png##*/}"
  picture "$png" "docs/images/${png##*/}"
done

step "marigold-check on the guide's example, the demo's settings file before the registration (exit status 1: it warns)"
for lang in ja en; do
  cmake/wine-run.sh "$checker" --lang "$lang" 'C:\Tools\Editor\PlugIns\Marigolds_Setting.txt' |
    tee "$shots/check-report.$lang.txt" || true
done
exit "$status"
