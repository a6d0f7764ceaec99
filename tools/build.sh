#!/usr/bin/env bash
# Configures and builds the native tests and both Windows targets under build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${JOBS:-2}

configure() {  # dir, extra cmake arguments...
  local dir=$1; shift
  [ -f "build/$dir/CMakeCache.txt" ] || cmake -S . -B "build/$dir" -G "Unix Makefiles" "$@" >/dev/null
}
configure native -DCMAKE_BUILD_TYPE=Debug -DQP_SANITIZE=ON
configure win64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/lib/wine/wine64
configure win32 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/lib/wine/wine
for dir in ${BUILD_DIRS:-native win64 win32}; do
  echo "== building $dir"
  cmake --build "build/$dir" -j "$jobs" 2>&1 | grep -E "error|Error|warning: unused" || true
  test "${PIPESTATUS[0]}" -eq 0
done
