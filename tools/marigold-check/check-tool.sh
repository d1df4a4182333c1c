#!/usr/bin/env bash
# Runs marigold-check (a native program, or a Windows .exe under Wine) on a settings file with
# each kind of problem: one diagnostic per problem line in FILE:LINE form, exit 1; --json parses;
# --lang ja speaks Japanese; a file that cannot be read exits 2 with the reason; --help, --version
# and a wrong option answer as a command line does.
set -u
checker=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if [[ $checker == *.exe ]]; then
  run() { "$here/cmake/wine-run.sh" "$checker" "$@"; }
  drive=${WINEPREFIX:-$here/build/wineprefix}/drive_c
  "$here/cmake/wine-prefix.sh" >/dev/null 2>&1
  folder=$drive/MgCheckTool
  file='C:\MgCheckTool\Marigolds_Setting.txt'
else
  run() { MARIGOLD_DRIVE_ROOT=$work "$checker" "$@"; }
  folder=$work/C/MgCheckTool
  file=$folder/Marigolds_Setting.txt
fi
rm -rf "$folder"
mkdir -p "$folder/docs"
printf 'notes\r\n' >"$folder/notes.txt"
# Lines 1-5 are ordinary; each later line has one problem.
printf '%s\r\n' 'Notes	C:\MgCheckTool\notes.txt /l 3' 'C:\MgCheckTool\docs' '-' \
  'Group' '	C:\MgCheckTool\notes.txt' \
  'Gone	C:\MgCheckTool\gone.txt' 'relative\todo.txt' 'C:/MgCheckTool/notes.txt' \
  'a	b	c' '' 'Head' '			deep' 'Again	C:\MgCheckTool\docs' >"$folder/Marigolds_Setting.txt"
problem_lines="6 7 8 9 10 11 12 13"

log=$work/out.txt
run --lang en "$file" >"$log" 2>&1
status=$?
[ "$status" -eq 1 ] || fail "exit status $status, expected 1"
for line in $problem_lines; do
  count=$(grep -cF "$file:$line: " "$log")
  [ "$count" -eq 1 ] || fail "line $line has $count diagnostics, expected 1"
done
lines=$(grep -cE '^.*:[0-9]+: (warning|note): ' "$log")
[ "$lines" -eq 8 ] || fail "$lines diagnostics with a line, expected 8"
grep -q '^  Folder docs #2$' "$log" || fail "the tree shows the folder entry"
grep -q '^  Gone #6 grayed$' "$log" || fail "the tree shows the missing entry grayed"

run --json --lang en "$file" >"$work/out.json" 2>&1
python3 -m json.tool "$work/out.json" >/dev/null || fail "--json does not parse"
python3 - "$work/out.json" <<'PY' || fail "--json holds the tree and the diagnostics"
import json, sys
report = json.load(open(sys.argv[1], encoding="utf-8"))
assert report["exit"] == 1
assert sorted(d["line"] for d in report["diagnostics"] if d["line"]) == [6, 7, 8, 9, 10, 11, 12, 13]
assert report["tree"][0] == {"caption": "Notes", "id": 1, "line": 1, "state": "enabled"}
assert next(d for d in report["diagnostics"] if d["line"] == 11)["because"] == 12
PY

for lang in "--lang ja" "--lang=ja"; do
  run $lang "$file" >"$work/ja.txt" 2>&1
  grep -q "無視されます" "$work/ja.txt" || fail "$lang speaks Japanese"
  grep -q '^  Gone #6 灰色$' "$work/ja.txt" || fail "$lang marks the tree in Japanese"
done

for help in --help -h; do
  run --lang ja "$help" >"$work/help.txt" 2>&1
  status=$?
  [ "$status" -eq 0 ] || fail "$help exits with $status, expected 0"
  grep -q "^使い方: marigold-check" "$work/help.txt" || fail "$help --lang ja is Japanese"
done
run --lang en --help >"$work/help.txt" 2>&1
grep -q "^usage: marigold-check" "$work/help.txt" || fail "--help --lang en is English"
run --version >"$work/version.txt" 2>&1
status=$?
grep -qE '^marigold-check [0-9]+\.[0-9]+\.[0-9]+\s*$' "$work/version.txt" && [ "$status" -eq 0 ] ||
  fail "--version prints the version number and exits with 0"
run --lang en --bogus >"$work/bogus.txt" 2>&1
status=$?
[ "$status" -eq 2 ] && grep -q "unknown option --bogus" "$work/bogus.txt" ||
  fail "an unknown option exits with 2 and names it"

if [[ $checker == *.exe ]]; then missing='C:\MgCheckTool\none.txt'; else missing=$folder/none.txt; fi
run --lang en "$missing" >"$work/missing.txt" 2>&1
status=$?
[ "$status" -eq 2 ] || fail "a missing file exits with $status, expected 2"
grep -q "cannot read the file: ." "$work/missing.txt" || fail "a missing file names the reason"

if [ "$failures" -ne 0 ]; then
  echo "--- report:"
  cat "$log"
  exit 1
fi
echo "marigold-check: every check passed"
