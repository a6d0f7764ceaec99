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
run_pass() {  # name, build dir, ctest arguments...
  local name=$1 dir=$2; shift 2
  mkdir -p "$results/$name"
  echo "== $name"
  (cd "build/$dir" && GTEST_OUTPUT="xml:$results/$name/" QP_RESULTS_DIR="$results/$name" \
     ctest --output-on-failure --timeout 600 "$@") || status=1
}

run_pass native native
source tools/wine-env.sh
run_pass "wine, Russian system (code page 1251)" win64
LANG=en_US.UTF-8 run_pass "wine, English system (code page 1252)" win64 -R '^(portable_tests|win_tests)$'

/usr/bin/python3 tests/summary.py "$results" || status=1
exit $status
