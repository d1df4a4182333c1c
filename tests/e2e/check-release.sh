#!/usr/bin/env bash
# Checks the release zip as a user gets it: its file list, its entries' dates and modes, the sums,
# the DLL inside (byte for byte the shipped one, its exports and imports, its version block
# against the zip's name), the Windows text files, the example settings file, the guides'
# picture links, and no build path in the programs. Ends "check-release: N passed, M failed".
# usage: check-release.sh <zip> <shipped dll> <objdump>
set -u
zip=$1 shipped=$2 objdump=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
passed=0 failed=0
# check NAME COMMAND...: one counted check; the command's output explains a failure.
check() {
  local name=$1 out
  shift
  if out=$("$@" 2>&1); then
    passed=$((passed + 1))
    echo "ok: $name"
  else
    failed=$((failed + 1))
    echo "FAIL: $name"
    [ -z "$out" ] || sed 's/^/  /' <<<"$out"
  fi
}
finish() {
  echo "check-release: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}

version=$(basename "$zip" | sed -n 's/^Marigold-\([0-9]*\.[0-9]*\.[0-9]*\)\.zip$/\1/p')
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
unpack() {
  [ -n "$version" ] || { echo "$zip is not named Marigold-MAJOR.MINOR.PATCH.zip"; return 1; }
  python3 -m zipfile -e "$zip" "$dir"
}
check "the zip unpacks" unpack
[ "$failed" -eq 0 ] || finish

expected_entries="LICENSE
Marigold.dll
Marigolds_Setting.sample.txt
README.en.txt
README.ja.txt
SHA256SUMS
THIRD-PARTY-NOTICES.txt
guide/guide.en.md
guide/guide.ja.md
guide/images/favourites-menu.png
guide/images/favourites-register.png
marigold-check.exe"
# Names in the zip's own order, each with its mode and date: sorted, 0644, one date for all.
entries() {
  python3 -c '
import sys, zipfile
for e in zipfile.ZipFile(sys.argv[1]).infolist():
    print(e.filename, oct(e.external_attr >> 16), e.date_time)' "$zip"
}
list_matches() { diff <(entries | cut -d' ' -f1) - <<<"$expected_entries"; }
one_mode_one_date() {
  local kinds
  kinds=$(entries | cut -d' ' -f2- | sort -u)
  [ "$kinds" = "0o100644 $(entries | head -1 | cut -d' ' -f3-)" ] || { echo "$kinds"; return 1; }
}
check "the files are the expected ones, in sorted order" list_matches
check "every entry is mode 0644 with one date" one_mode_one_date

sums_cover_the_rest() {
  diff <(tr -d '\r' <"$dir/SHA256SUMS" | sed 's/^[0-9a-f]\{64\}  //') \
    <(grep -vx SHA256SUMS <<<"$expected_entries") &&
    (cd "$dir" && sha256sum --check --strict --quiet SHA256SUMS)
}
check "SHA256SUMS lists every other file, and the sums match" sums_cover_the_rest
check "Marigold.dll is byte for byte $shipped" cmp "$dir/Marigold.dll" "$shipped"
check "the DLL's exports and imports, and the subsystem version of both programs" \
  bash "$root/tests/e2e/check-dll.sh" "$objdump" pei-i386 "$dir/Marigold.dll"

# The fixed part of the version block (file version $version.0, product version 0.0.0.0) and its
# FileVersion text, read from the image as data.
version_block() {
  python3 - "$dir/Marigold.dll" "$version" <<'PY'
import re, struct, sys
image, version = open(sys.argv[1], "rb").read(), sys.argv[2]
at = image.find(struct.pack("<I", 0xFEEF04BD))
if at < 0:
    sys.exit("no version block")
file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", image, at + 8)
got = f"{file_ms >> 16}.{file_ms & 0xFFFF}.{file_ls >> 16}.{file_ls & 0xFFFF}"
if got != version + ".0" or product_ms or product_ls:
    sys.exit(f"file version {got}, product version {product_ms:#x}.{product_ls:#x}")
key, value = "FileVersion\0".encode("utf-16-le"), (version + ".0\0").encode("utf-16-le")
if not re.search(re.escape(key) + b"(?:\0\0)?" + re.escape(value), image):
    sys.exit(f'no FileVersion text "{version}.0"')
PY
}
check "the DLL's version block says $version.0" version_block

# Text for Notepad: a byte order mark, CRLF only, the version in the title.
readme_ok() {
  local file=$dir/$1
  [ "$(head -c3 "$file" | od -An -tx1 | tr -d ' ')" = efbbbf ] || { echo "$1: no BOM"; return 1; }
  ! grep -q $'[^\r]$' <(sed '$a\' "$file") || { echo "$1: a line without CR"; return 1; }
  grep -q "^.\{0,3\}Marigold $version"$'\r$' "$file" || { echo "$1: no title Marigold $version"; return 1; }
}
check "README.ja.txt is Windows text for $version" readme_ok README.ja.txt
check "README.en.txt is Windows text for $version" readme_ok README.en.txt

sample_ok() {
  local file=$dir/Marigolds_Setting.sample.txt
  iconv -f CP932 -t UTF-8 "$file" >/dev/null || return 1
  [ "$(grep -c $'\r$' "$file")" -eq "$(wc -l <"$file")" ] || { echo "not CRLF throughout"; return 1; }
  grep -q $'^\t' "$file" || { echo "no line indented by a TAB"; return 1; }
  ! grep -q '⇥' <(iconv -f CP932 -t UTF-8 "$file") || { echo "a ⇥ was left"; return 1; }
}
check "the example settings file is code page 932, CRLF, with TABs" sample_ok

pictures_found() {
  local guide link missing=0
  for guide in "$dir"/guide/*.md; do
    for link in $(grep -o '](images/[^)]*)' "$guide" | sed 's/^](//; s/)$//'); do
      [ -f "$dir/guide/$link" ] || { echo "${guide##*/}: $link is missing"; missing=1; }
    done
  done
  return $missing
}
check "every picture a guide shows is in the zip" pictures_found
no_build_path() { ! grep -a -l -F -e "$root" -e /build/ "$dir/Marigold.dll" "$dir/marigold-check.exe"; }
check "no build path inside the programs" no_build_path
finish
