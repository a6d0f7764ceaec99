#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs the INI reader's for FUZZ_SECONDS (600).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
[ -f build/fuzz/CMakeCache.txt ] || CC=clang CXX=clang++ cmake -S . -B build/fuzz -G "Unix Makefiles" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQP_FUZZ=ON >/dev/null
cmake --build build/fuzz -j "${JOBS:-2}"
mkdir -p build/fuzz/corpus-ini
cp -n tests/fuzz/corpus-ini/* build/fuzz/corpus-ini/ 2>/dev/null || true
build/fuzz/tests/fuzz/fuzz_ini -max_total_time="${FUZZ_SECONDS:-600}" -max_len=65536 -rss_limit_mb=2048 \
  -print_final_stats=1 build/fuzz/corpus-ini
