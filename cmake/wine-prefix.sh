#!/usr/bin/env bash
# Creates the private Wine prefix once: message boxes close at once when windows are unmanaged.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
[ -f "$WINEPREFIX/.marigold-ready" ] && exit 0
mkdir -p "$WINEPREFIX"
(
  flock 9
  [ -f "$WINEPREFIX/.marigold-ready" ] && exit 0
  env LC_ALL=ja_JP.UTF-8 /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 </dev/null || true
  env LC_ALL=ja_JP.UTF-8 /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
  wineserver -w
  touch "$WINEPREFIX/.marigold-ready"
) 9>"$WINEPREFIX.lock"
