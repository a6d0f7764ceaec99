#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each named one (default: ini letter dns search),
# FUZZ_SECONDS (600) each: the INI reader, the letter writer, the DNS answer reader and the "search.qpt" reader.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
[ -f build/fuzz/CMakeCache.txt ] || CC=clang CXX=clang++ cmake -S . -B build/fuzz -G "Unix Makefiles" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQP_FUZZ=ON >/dev/null
cmake --build build/fuzz -j "${JOBS:-2}"
for target in "${@:-ini letter dns search}"; do
  for name in $target; do
    mkdir -p "build/fuzz/corpus-$name"
    cp -n "tests/fuzz/corpus-$name"/* "build/fuzz/corpus-$name/" 2>/dev/null || true
    echo "== fuzzing $name for ${FUZZ_SECONDS:-600} s"
    "build/fuzz/tests/fuzz/fuzz_$name" -max_total_time="${FUZZ_SECONDS:-600}" -max_len=65536 -rss_limit_mb=2048 \
      -print_final_stats=1 "build/fuzz/corpus-$name"
  done
done
