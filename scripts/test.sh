#!/usr/bin/env bash
# Runs every test layer: native unit tests (ASan, UBSan), the shipped 32-bit DLL build, the
# Windows unit tests and the stand-in editor under wine64 and Xvfb, and the bounded fuzz runs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
fuzz_seconds=${FUZZ_SECONDS:-20}

bash scripts/setup.sh

step() { printf '\n== %s\n' "$*"; }

step "native build and unit tests (ASan, UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native --no-tests=error | tee build/native/ctest.log
native_tests=$(sed -n 's/.* tests failed out of \([0-9]*\)$/\1/p' build/native/ctest.log)

step "shipped DLL (i686)"
cmake --preset win32 >/dev/null
cmake --build --preset win32

step "Windows unit tests and stand-in editor under wine64 and Xvfb"
source scripts/xvfb.sh
start_xvfb
cmake --preset win64 >/dev/null
cmake --build --preset win64
"$root/cmake/wine-prefix.sh"
# The stand-in editor layer must be there, not just the unit tests.
host_tests=$(ctest --preset win64 -N -R '^host\.' | grep -c 'Test *#' || true)
[ "$host_tests" -gt 0 ] || { echo "the stand-in editor's tests are missing"; exit 1; }
ctest --preset win64 --no-tests=error | tee build/win64/ctest.log
windows_tests=$(sed -n 's/.* tests failed out of \([0-9]*\)$/\1/p' build/win64/ctest.log)
windows_cases=$(cmake/wine-run.sh build/win64/tests/unit_tests.exe --gtest_list_tests | grep -c '^  ')

step "fuzz targets, ${fuzz_seconds} s each"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
fuzz_failed=0
fuzz_passed=0
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=${target#build/fuzz/fuzz/fuzz_}
  corpus=build/fuzz/corpus/$name
  mkdir -p "$corpus"
  seeds=()
  [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  if "$target" -max_total_time="$fuzz_seconds" -print_final_stats=0 "$corpus" "${seeds[@]}" \
      >"build/fuzz/$name.log" 2>&1; then
    fuzz_passed=$((fuzz_passed + 1))
    echo "fuzz $name: clean ($(grep -c '' "build/fuzz/$name.log") log lines)"
  else
    fuzz_failed=$((fuzz_failed + 1))
    echo "fuzz $name: FAILED"
    tail -40 "build/fuzz/$name.log"
  fi
done
echo "fuzz: ${fuzz_passed} passed, ${fuzz_failed} failed"
[ "$fuzz_failed" -eq 0 ] && [ "$fuzz_passed" -gt 0 ]

step "summary"
echo "native unit tests: ${native_tests}"
echo "Windows unit-test cases under wine64: ${windows_cases}; stand-in editor and DLL checks: $((windows_tests - 1))"
echo "fuzz targets clean: ${fuzz_passed}"
echo "all: $((native_tests + windows_cases + windows_tests - 1 + fuzz_passed)) passed, 0 failed"
