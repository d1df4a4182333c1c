#!/usr/bin/env bash
# Runs a Windows program under wine64 in the project's private prefix. Output goes through a
# file because Wine's helper processes inherit the first process's handles and would keep a
# pipe open forever.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}

export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
"$here/cmake/wine-prefix.sh" >/dev/null 2>&1
log=$(mktemp)
env LC_ALL=ja_JP.UTF-8 /usr/lib/wine/wine64 "$@" >"$log" 2>&1 </dev/null
rc=$?
cat "$log"
rm -f "$log"
exit $rc
