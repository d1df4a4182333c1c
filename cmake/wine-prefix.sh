#!/usr/bin/env bash
# Creates the private Wine prefix once: message boxes close at once when windows are unmanaged.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
# A share served from a folder of the prefix (\\mgserver\share is C:\MgShare), and a settings
# file that is a link to the file on it; Wine follows the link itself.
share_and_link() {
  local c=$WINEPREFIX/drive_c
  mkdir -p "$c/MgShare" "$c/MgLink" "$WINEPREFIX/dosdevices/unc/mgserver"
  ln -sfn "$c/MgShare" "$WINEPREFIX/dosdevices/unc/mgserver/share"
  ln -sfn ../MgShare/Marigolds_Setting.txt "$c/MgLink/Marigolds_Setting.txt"
}
if [ -f "$WINEPREFIX/.marigold-ready" ]; then
  share_and_link
  exit 0
fi
mkdir -p "$WINEPREFIX"
(
  flock 9
  [ -f "$WINEPREFIX/.marigold-ready" ] && exit 0
  env LC_ALL=ja_JP.UTF-8 /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 </dev/null || true
  env LC_ALL=ja_JP.UTF-8 /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
  wineserver -w
  share_and_link
  touch "$WINEPREFIX/.marigold-ready"
) 9>"$WINEPREFIX.lock"
