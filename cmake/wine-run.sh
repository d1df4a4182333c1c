#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix, with the loader that
# matches the program: wine for a 32-bit x86 image, wine64 otherwise. Output goes through a
# file because Wine's helper processes inherit the first process's handles and would keep a
# pipe open forever.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}

export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
"$here/cmake/wine-prefix.sh" >/dev/null 2>&1

# The PE header's machine field: the word after "PE\0\0", whose offset is stored at 0x3c.
loader=/usr/lib/wine/wine64
if [ -f "${1:-}" ]; then
  pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  machine=$(od -An -tx2 -j$((${pe:-0} + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
  [ "$machine" = 014c ] && loader=/usr/lib/wine/wine
fi
log=$(mktemp)
env LC_ALL=ja_JP.UTF-8 "$loader" "$@" >"$log" 2>&1 </dev/null
rc=$?
cat "$log"
rm -f "$log"
exit $rc
