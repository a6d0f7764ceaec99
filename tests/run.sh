#!/usr/bin/env bash
# Every test: native ones directly, Windows ones and the program itself under Wine + Xvfb.
# Each build is made once; a pass starts as soon as its build is there and runs beside the
# next build, and the passes under Wine that run side by side each have their own Xvfb and
# Wine prefix. The summary counts every case that ran and names every pass that did not.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/deps.sh || exit 1

results="$root/build/test-results"
rm -rf "$results"
mkdir -p "$results"
started=$SECONDS

run_pass() {  # name, description, build dir, ctest arguments...
  local name=$1 description=$2 dir=$3; shift 3
  local out="$results/$name" begun=$SECONDS
  mkdir -p "$out"
  # Programs under Wine see this machine's root as drive Z:.
  local gtest_out="$out/"
  [ "$dir" = native ] || gtest_out="Z:${out//\//\\}\\"
  echo "== $name: $description: started"
  (cd "build/$dir" && GTEST_OUTPUT="xml:$gtest_out" QP_RESULTS_DIR="$out" \
     ctest --output-on-failure --timeout 600 --output-junit "$out/ctest.xml" "$@") >"$out/log.txt" 2>&1
  local rc=$?
  echo "== $name: $( ((rc)) && echo "FAILED" || echo "passed") after $((SECONDS - begun)) s"
  return $rc
}

not_run() {  # name, reason
  mkdir -p "$results/$1"
  echo "$2" >"$results/$1/NOT_RUN"
  echo "== $1: not run: $2"
}

build() {  # build dir; a failed build leaves its passes out, as not run
  if BUILD_DIRS=$1 tools/build.sh; then return 0; fi
  echo "== the $1 build failed"
  return 1
}

pids=()
status=0
if build native; then
  run_pass native "portable code, native, under ASan and UBSan" native &
  pids+=($!)
else
  status=1
  not_run native "its build failed"
fi

if build win64; then
  (
    QP_PREFIX="$root/build/wineprefix" source tools/wine-env.sh
    run_pass wine-ru "Windows build under Wine, Russian system (code page 1251)" win64
    rc=$?
    LANG=en_US.UTF-8 run_pass wine-en "Windows build under Wine, English system (code page 1252)" win64 \
      -R '^(portable_tests|win_tests)$' || rc=1
    exit $rc
  ) &
  pids+=($!)
else
  status=1
  not_run wine-ru "its build failed"
  not_run wine-en "its build failed"
fi

# Built beside the running passes, at a lower priority so their timing stays as it is alone.
if BUILD_DIRS=win32 nice -n 10 tools/build.sh; then
  run_pass win32-imports "32-bit build (the release target): only Windows' own DLLs imported" win32 \
    -R '^static_imports$' || status=1
  if reason=$(tools/wine32-check.sh); then
    (
      QP_PREFIX="$root/build/wineprefix32" source tools/wine-env.sh
      run_pass wine32 "32-bit Windows build under Wine, Russian system" win32 -E '^static_imports$'
    ) &
    pids+=($!)
  else
    not_run wine32 "$reason"
  fi
else
  echo "== the win32 build failed"
  status=1
  not_run win32-imports "its build failed"
  not_run wine32 "its build failed"
fi

for pid in "${pids[@]}"; do wait "$pid" || status=1; done

for log in "$results"/*/log.txt; do
  echo
  echo "==== $(basename "$(dirname "$log")")"
  cat "$log"
done
echo
/usr/bin/python3 tests/summary.py "$results" || status=1
echo "test run: $((SECONDS - started)) s"
exit $status
