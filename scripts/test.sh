#!/usr/bin/env bash
# Runs every test layer: native unit tests (ASan, UBSan), the look-up tests again under
# ThreadSanitizer; the shipped 32-bit DLL's build and the release zip made from it; the
# Windows unit tests and the stand-in editor under Wine and Xvfb, on the 64-bit twin and, where
# this machine executes 32-bit programs, on the shipped DLL itself; the bounded fuzz runs.
# Every layer runs even when an earlier one failed; each count below is read from what ran, and
# the exit status is non-zero when anything failed or a layer ran no test.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
fuzz_seconds=${FUZZ_SECONDS:-20}

bash scripts/setup.sh || exit 1
source scripts/xvfb.sh
source scripts/wine32.sh

step() { printf '\n== %s\n' "$*"; }

summary=()
all_passed=0
all_failed=0
# layer NAME PASSED FAILED [NOTE]: one summary line; a layer that ran nothing counts as failed.
layer() {
  local name=$1 passed=$2 failed=$3 note=${4:-}
  if [ $((passed + failed)) -eq 0 ]; then
    failed=1
    note=${note:-ran no test}
  fi
  summary+=("$name: $passed passed, $failed failed${note:+ ($note)}")
  all_passed=$((all_passed + passed))
  all_failed=$((all_failed + failed))
}

# junit_counts REPORT [--except NAME]: "PASSED FAILED SKIPPED" over the test cases of a JUnit
# report (ctest's, or the GoogleTest program's); no report holds none, an unreadable one is one
# failure.
junit_counts() {
  python3 scripts/junit.py counts "$@" || echo "0 1 0"
}

# skipped_note SKIPPED: the note for cases that were skipped or disabled, if any.
skipped_note() {
  if [ "${1:-0}" -gt 0 ]; then echo "$1 skipped"; fi
}

# run_ctest PRESET: the preset's tests, logged to build/PRESET/ctest.log, their results written to
# build/PRESET/ctest-junit.xml.
run_ctest() {
  local dir=build/$1
  rm -f "$dir/ctest-junit.xml"
  ctest --preset "$1" --no-tests=error --output-junit "$root/$dir/ctest-junit.xml" 2>&1 |
    tee "$dir/ctest.log"
}

# windows_layer PRESET NAME: runs the preset's ctest under Wine. The one "unit" test runs the
# whole unit-test program, so its cases are counted from the program's XML report instead.
windows_layer() {
  local preset=$1 name=$2 dir=build/$1
  local report=$dir/ctest-junit.xml xml=$dir/tests/unit-results.xml
  rm -f "$xml"
  run_ctest "$preset"
  local passed failed skipped unit note=""
  read -r passed failed skipped < <(junit_counts "$report" --except unit)
  unit=$(python3 scripts/junit.py status "$report" unit)
  if [ "$unit" = absent ]; then
    failed=$((failed + 1))
    note="the unit-test program did not run"
  else
    local cases_passed cases_failed cases_skipped
    read -r cases_passed cases_failed cases_skipped < <(junit_counts "$xml")
    passed=$((passed + cases_passed))
    failed=$((failed + cases_failed))
    skipped=$((skipped + cases_skipped))
    # A run that failed without a failing case (a crash, no report) is one failure of its own.
    if [ "$unit" != passed ] && [ "$cases_failed" -eq 0 ]; then
      failed=$((failed + 1))
      note="the unit-test program failed without a report"
    fi
  fi
  local hosts
  hosts=$(python3 scripts/junit.py named "$report" host.)
  if [ "${hosts:-0}" -eq 0 ]; then
    failed=$((failed + 1))
    note="${note:+$note; }no stand-in editor scenario ran"
  fi
  if [ "$skipped" -gt 0 ]; then note="${note:+$note; }$(skipped_note "$skipped")"; fi
  layer "$name" "$passed" "$failed" "$note"
}

# native_layer PRESET NAME: builds the preset and runs its tests natively.
native_layer() {
  local preset=$1 name=$2 passed failed skipped
  if cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; then
    run_ctest "$preset"
    read -r passed failed skipped < <(junit_counts "build/$preset/ctest-junit.xml")
    layer "$name" "$passed" "$failed" "$(skipped_note "$skipped")"
  else
    layer "$name" 0 1 "build failed"
  fi
}

step "native build and unit tests (ASan, UBSan)"
native_layer native "native unit tests"

step "native look-up tests (ThreadSanitizer)"
native_layer tsan "native look-up tests under TSan"

step "shipped DLL (i686): build/win32/Marigold.dll"
shipped_built=1
cmake --preset win32 >/dev/null && cmake --build --preset win32 || shipped_built=0

step "release zip: scripts/release.sh, then tests/e2e/check-release.sh on the zip"
release_passed=0
release_failed=0
release_note=""
if [ "$shipped_built" -eq 1 ] && bash scripts/release.sh 2>&1 | tee build/release.log; then
  zip=$(tail -n1 build/release.log | cut -d' ' -f1)
  bash tests/e2e/check-release.sh "$zip" build/win32/Marigold.dll i686-w64-mingw32-objdump |
    tee build/check-release.log
  release_status=$?
  read -r release_passed release_failed < <(sed -n \
    's/^check-release: \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' build/check-release.log)
  # A check that stopped before its summary is a failure of its own.
  if [ "$release_status" -ne 0 ] && [ "${release_failed:-0}" -eq 0 ]; then
    release_failed=1
    release_note="check-release.sh failed without a summary"
  fi
else
  release_note="the release did not build"
fi
layer "release zip" "${release_passed:-0}" "${release_failed:-0}" "$release_note"

step "Windows unit tests and stand-in editor on the 64-bit twin (wine64, Xvfb)"
start_xvfb
cmake/wine-prefix.sh
if [ "$shipped_built" -eq 1 ] && cmake --preset win64 >/dev/null && cmake --build --preset win64
then
  windows_layer win64 "64-bit twin under wine64"
else
  layer "64-bit twin under wine64" 0 1 "build failed"
fi

step "the shipped 32-bit DLL under Wine"
shipped_layer="shipped 32-bit DLL under Wine"
if runs_32bit_code; then
  echo "this machine runs 32-bit Windows programs: the scenarios load build/win32/Marigold.dll"
  if [ "$shipped_built" -eq 1 ] && cmake --preset win32-tests >/dev/null &&
    cmake --build --preset win32-tests; then
    windows_layer win32-tests "$shipped_layer"
  else
    layer "$shipped_layer" 0 1 "build failed"
  fi
else
  echo "this machine runs no 32-bit code (a 32-bit program under Wine did not return its exit code)"
  summary+=("$shipped_layer: skipped (this machine runs no 32-bit code)")
fi

step "fuzz targets, ${fuzz_seconds} s each"
fuzz_passed=0
fuzz_failed=0
if cmake --preset fuzz >/dev/null && cmake --build --preset fuzz; then
  mkdir -p build/fuzz/artifacts
  for target in build/fuzz/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=${target#build/fuzz/fuzz/fuzz_}
    corpus=build/fuzz/corpus/$name
    mkdir -p "$corpus"
    seeds=()
    [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
    # New inputs go to build/fuzz/corpus, a crashing input to build/fuzz/artifacts.
    if "$target" -max_total_time="$fuzz_seconds" -print_final_stats=0 \
      -artifact_prefix="build/fuzz/artifacts/$name-" "$corpus" "${seeds[@]}" \
      >"build/fuzz/$name.log" 2>&1; then
      fuzz_passed=$((fuzz_passed + 1))
      echo "fuzz $name: clean"
    else
      fuzz_failed=$((fuzz_failed + 1))
      echo "fuzz $name: FAILED (log build/fuzz/$name.log)"
      tail -40 "build/fuzz/$name.log"
    fi
  done
  layer "fuzz targets" "$fuzz_passed" "$fuzz_failed"
else
  layer "fuzz targets" 0 1 "build failed"
fi

step "summary"
printf '%s\n' "${summary[@]}"
echo "took ${SECONDS} s"
echo "all: ${all_passed} passed, ${all_failed} failed"
[ "$all_failed" -eq 0 ]
