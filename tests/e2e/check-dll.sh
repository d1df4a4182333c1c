#!/usr/bin/env bash
# Checks a built Marigold.dll with objdump: the image format, exactly the seven exports by
# their undecorated names at ordinals 1 to 7, imports from system DLLs only, and Windows Vista
# (6.0) as the subsystem version of the DLL and of marigold-check.exe beside it.
# usage: check-dll.sh <objdump> <format, e.g. pei-i386> <dll>
set -u
objdump=$1 format=$2 dll=$3
failed=0
fail() { echo "FAIL: $*"; failed=1; }

[ -f "$dll" ] || { echo "FAIL: $dll does not exist (build the win32 preset first)"; exit 1; }
dump=$("$objdump" -p "$dll") || { echo "FAIL: $objdump cannot read $dll"; exit 1; }

grep -q "file format $format\$" <<<"$dump" || fail "not a $format image"
sed -n '/^Characteristics/,/^$/p' <<<"$dump" | grep -q $'^\tDLL$' || fail "not marked as a DLL"

base=$(awk '/^Ordinal Base/ {print $3}' <<<"$dump")
exports=$(awk -v base="${base:-0}" '
  /^\[Ordinal\/Name Pointer\] Table/ {in_table = 1; next}
  in_table && /^$/ {exit}
  in_table {gsub(/[\[\]]/, " "); print $1 + base, $2}' <<<"$dump" | sort -n)
expected=$'1 OnCommand\n2 QueryStatus\n3 OnEvents\n4 GetMenuTextID\n5 GetStatusMessageID\n6 GetBitmapID\n7 PlugInProc'
if [ "$exports" != "$expected" ]; then
  fail "exports differ; got:"
  echo "$exports"
fi
count=$(awk '/Export Address Table[ \t]+[0-9a-f]+$/ {print $NF; exit}' <<<"$dump")
[ "$((16#${count:-0}))" -eq 7 ] || fail "export address table holds $count entries, not 7"

allowed='^(kernel32|user32|shell32|msvcrt|advapi32|gdi32|ole32|oleaut32|shlwapi|comctl32|comdlg32|version|ntdll)\.dll$'
imports=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$dump")
[ -n "$imports" ] || fail "no imports found"
for dll_name in $imports; do
  [[ $dll_name =~ $allowed ]] || fail "imports $dll_name, which a stock Windows does not have"
done

# The loader refuses an image whose subsystem version is above the running Windows: 6.0 is Vista.
subsystem_version() {
  awk '/^MajorSubsystemVersion/ {major = $2} /^MinorSubsystemVersion/ {minor = $2}
    END {print major "." minor}' <<<"$1"
}
[ "$(subsystem_version "$dump")" = 6.0 ] ||
  fail "$dll: subsystem version $(subsystem_version "$dump"), not 6.0"
checker=$(dirname "$dll")/marigold-check.exe
if checker_dump=$("$objdump" -p "$checker" 2>/dev/null); then
  [ "$(subsystem_version "$checker_dump")" = 6.0 ] ||
    fail "$checker: subsystem version $(subsystem_version "$checker_dump"), not 6.0"
else
  fail "$checker cannot be read (build the whole preset)"
fi

if [ $failed -eq 0 ]; then
  echo "$dll: $format, exports $(tr '\n' ' ' <<<"$exports")"
  echo "imports: $(tr '\n' ' ' <<<"$imports")"
fi
exit $failed
