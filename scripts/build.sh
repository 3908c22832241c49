#!/usr/bin/env bash
# Configures and builds the Windows program and its test programs (build/win), and the core with its tests
# natively under AddressSanitizer and UndefinedBehaviorSanitizer (build/native).
#   build.sh                              everything
#   build.sh --windows-only [target...]   the Windows build alone, and in it only the targets named, if any
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${KORVANE_BUILD_DIR:-$root/build}  # a separate folder lets several builds of one checkout run side by side
jobs=$(nproc)
windows_only=false
if [ "${1:-}" = --windows-only ]; then
  windows_only=true
  shift
fi
targets=("$@")
cmake -S "$root" -B "$out/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$out/win" -j "$jobs" ${targets[@]+--target "${targets[@]}"}
if ! $windows_only; then
  cmake -S "$root" -B "$out/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVANE_SANITIZE=ON >/dev/null
  cmake --build "$out/native" -j "$jobs"
fi
