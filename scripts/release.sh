#!/usr/bin/env bash
# Builds the release a Windows user downloads: the shipped DLL and the checker (win32 preset), the
# readmes, the user guides with their pictures, an example settings file taken from the Japanese
# guide, the licenses and SHA256SUMS, packed into build/dist/Marigold-<version>.zip. The same
# commit gives the same zip, byte for byte. The last line printed is the zip's path and SHA-256.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win32/CMakeCache.txt)
[ -n "$version" ] || { echo "release: no project version in build/win32/CMakeCache.txt" >&2; exit 1; }
# Every date in the zip is the commit's, so that two builds of one commit agree.
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}

dist=build/dist
stage=$dist/stage
zip=$dist/Marigold-$version.zip
rm -rf "$stage" "$zip"
mkdir -p "$stage/guide/images"

# Text for Notepad: UTF-8 with a byte order mark, CRLF line ends.
windows_text() { printf '\xef\xbb\xbf'; sed 's/$/\r/' "$1"; }

cp build/win32/Marigold.dll build/win32/marigold-check.exe "$stage/"
for language in ja en; do
  windows_text "build/win32/package/README.$language.txt" >"$stage/README.$language.txt"
  cp "docs/guide.$language.md" "$stage/guide/"
done
cp docs/images/*.png "$stage/guide/images/"
sed 's/$/\r/' LICENSE >"$stage/LICENSE"
sed 's/$/\r/' packaging/THIRD-PARTY-NOTICES.txt >"$stage/THIRD-PARTY-NOTICES.txt"

# The example settings file: the code block after the marker line in the Japanese guide, with
# "⇥" standing for a TAB, in the encoding a new settings file gets (code page 932, CRLF).
marker='<!-- sample-settings-file -->'
[ "$(grep -cxF "$marker" docs/guide.ja.md)" = 1 ] ||
  { echo "release: docs/guide.ja.md must hold the line $marker exactly once" >&2; exit 1; }
sample=$(awk -v marker="$marker" '
  $0 == marker {found = 1; next}
  found == 1 && /^```/ {found = 2; next}
  found == 1 && NF {exit}
  found == 2 && /^```/ {found = 3; exit}
  found == 2 {print}
  END {if (found != 3) exit 1}' docs/guide.ja.md) ||
  { echo "release: docs/guide.ja.md has no closed code block after the line $marker" >&2; exit 1; }
[ -n "$sample" ] || { echo "release: the code block after $marker is empty" >&2; exit 1; }
printf '%s\n' "$sample" | sed 's/⇥/\t/g; s/$/\r/' | iconv -f UTF-8 -t CP932 \
  >"$stage/Marigolds_Setting.sample.txt"

(cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum |
  sed 's/$/\r/') >"$dist/SHA256SUMS"
mv "$dist/SHA256SUMS" "$stage/SHA256SUMS"

python3 packaging/write-zip.py "$stage" "$zip" "$epoch"
echo "$zip $(sha256sum "$zip" | cut -d' ' -f1)"
