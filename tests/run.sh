#!/usr/bin/env bash
# Every test: native ones directly, Windows ones and the program itself under Wine + Xvfb.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/deps.sh || exit 1
tools/build.sh || exit 1

results="$root/build/test-results"
rm -rf "$results"
status=0
run_pass() {  # name, description, build dir, ctest arguments...
  local name=$1 description=$2 dir=$3; shift 3
  local out="$results/$name"
  mkdir -p "$out"
  echo "== $name: $description"
  # Programs under Wine see this machine's root as drive Z:.
  local gtest_out="$out/"
  [ "$dir" = native ] || gtest_out="Z:${out//\//\\}\\"
  (cd "build/$dir" && GTEST_OUTPUT="xml:$gtest_out" QP_RESULTS_DIR="$out" \
     ctest --output-on-failure --timeout 600 "$@") || status=1
}

run_pass native "portable code, native, under ASan and UBSan" native
source tools/wine-env.sh
run_pass wine-ru "Windows build under Wine, Russian system (code page 1251)" win64
run_pass wine32 "32-bit Windows build (the release target) under Wine, Russian system" win32
LANG=en_US.UTF-8 run_pass wine-en "Windows build under Wine, English system (code page 1252)" win64 \
  -R '^(portable_tests|win_tests)$'

/usr/bin/python3 tests/summary.py "$results" || status=1
exit $status
