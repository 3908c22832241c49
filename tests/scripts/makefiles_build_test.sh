#!/usr/bin/env bash
# The build with CMake's default generator on Linux (Unix Makefiles), which does not make the folders of custom
# commands' outputs as Ninja does: configures the Windows build with the mingw-w64 toolchain in a work folder and
# builds the libraries of the functions loaded at their first use (cmake/DelayLoad.cmake), the step that needs
# a folder of its own. Skipped (exit 77) where the cross compiler is not installed.
#   makefiles_build_test.sh <source folder> <work folder>
set -euo pipefail
source=$1
work=$2
fail() { echo "FAILED: $*" >&2; exit 1; }
command -v x86_64-w64-mingw32-g++-posix >/dev/null || { echo "no mingw-w64 cross compiler: skipped"; exit 77; }
command -v make >/dev/null || { echo "no make: skipped"; exit 77; }
rm -rf "$work"
cmake -S "$source" -B "$work" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-w64-x86_64.cmake" \
      >"$work.log" 2>&1 || { cat "$work.log"; fail "configure"; }
mapfile -t libraries < <(cmake --build "$work" --target help | sed -n 's/^\.\.\. \(.*\)_delayed$/\1/p')
[ "${#libraries[@]}" -gt 0 ] || fail "no delay-load target in the build"
for name in "${libraries[@]}"; do
  cmake --build "$work" --target "${name}_delayed" >>"$work.log" 2>&1 || { cat "$work.log"; fail "${name}_delayed"; }
  [ -s "$work/delay_loaded/lib${name}_delayed.a" ] || fail "no lib${name}_delayed.a"
done
echo "built with Unix Makefiles: ${libraries[*]/%/_delayed}"
