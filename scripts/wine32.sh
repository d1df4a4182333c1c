#!/usr/bin/env bash
# Sourced by test.sh and demo.sh. runs_32bit_code finds out whether this machine executes
# 32-bit Windows programs under Wine by running one: a static i686 console program that exits
# with 42. Nothing is inferred from the kernel or the installed packages.
runs_32bit_code() {
  local dir=$root/build/probe
  mkdir -p "$dir"
  printf 'int main(void) { return 42; }\n' >"$dir/exit42.c"
  i686-w64-mingw32-gcc-posix -static -o "$dir/exit42.exe" "$dir/exit42.c" || return 1
  local rc=0
  timeout 180 "$root/cmake/wine-run.sh" "$dir/exit42.exe" >"$dir/exit42.log" 2>&1 || rc=$?
  [ "$rc" -eq 42 ]
}
