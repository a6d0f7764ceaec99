#!/usr/bin/env bash
# The release executable's size, and its start-up time and peak memory under Wine beside an empty Win32 window's, in one run.
# Usage: bench/startup.sh [--runs N] [--bits 32|64|both] [--app DIR] [--app32 DIR] [--app64 DIR]
#   --runs N     measured starts of each program per bitness (default 21), alternating
#                with the empty window, after one warm-up start of each that is not counted
#   --bits       which builds (default both); a bitness whose Wine cannot run here still
#                gets its sizes, and its start-up is reported as not run
#   --app DIR    the program folder (quillpost.exe and its files) for the one bitness asked
#                for; --app32 / --app64 name each (default build/win32/app, build/win64/app)
# Start-up: from the start of the Wine process until the X server maps the window titled
# "Quillpost" (or "Empty window"). Peak memory: VmHWM of that process once it has stopped
# growing, read before the window is closed with the window manager's close request.
# Wine runs in a prefix of the script's own (build/bench/wineprefix, or QP_PREFIX), so a test
# run's wineserver is never stopped under it; the window is found whether or not Wine leaves
# its windows to a window manager.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

runs=21 bits=both app32="" app64="" app=""
while (($#)); do
  case $1 in
    --runs) runs=${2:?}; shift 2 ;;
    --bits) bits=${2:?}; shift 2 ;;
    --app) app=${2:?}; shift 2 ;;
    --app32) app32=${2:?}; shift 2 ;;
    --app64) app64=${2:?}; shift 2 ;;
    -h|--help) sed -n '2,15s/^# \{0,1\}//p' "$0"; exit 0 ;;
    *) echo "startup.sh: unknown argument '$1' (see --help)" >&2; exit 2 ;;
  esac
done
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "startup.sh: --runs wants a positive number" >&2; exit 2; }
case $bits in
  32) bitness=(32) ;; 64) bitness=(64) ;; both) bitness=(32 64) ;;
  *) echo "startup.sh: --bits wants 32, 64 or both" >&2; exit 2 ;;
esac
if [ -n "$app" ]; then
  ((${#bitness[@]} == 1)) || { echo "startup.sh: with --bits both, name the folders with --app32 and --app64" >&2; exit 2; }
  if [ "${bitness[0]}" = 32 ]; then app32=$app; else app64=$app; fi
fi
app32=${app32:-$root/build/win32/app} app64=${app64:-$root/build/win64/app}

"$root/tools/deps.sh" bench

out="$root/build/bench"
mkdir -p "$out"
work=$(mktemp -d "$out/startup.XXXXXX")
cleanup() {
  rm -rf "$work"
  if declare -F qp_cleanup >/dev/null; then qp_cleanup; fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

declare -A gxx=([32]=i686-w64-mingw32-g++-posix [64]=x86_64-w64-mingw32-g++-posix)
declare -A strip=([32]=i686-w64-mingw32-strip [64]=x86_64-w64-mingw32-strip)
declare -A pe_format=([32]=pei-i386 [64]=pei-x86-64)
declare -A loader=([32]=/usr/lib/wine/wine [64]=/usr/lib/wine/wine64)
declare -A app_dir=([32]=$app32 [64]=$app64)

# The yardstick is built like the program: static runtime, optimised, stripped.
for b in "${bitness[@]}"; do
  "${gxx[$b]}" -std=c++20 -O2 -municode -mwindows -static -static-libgcc -static-libstdc++ -s \
    -o "$out/empty_window$b.exe" "$root/bench/empty_window_win.cpp"
done
g++ -std=c++20 -O2 -Wall -o "$out/startup_timer_x11" "$root/bench/startup_timer_x11.cpp" -lX11
timer="$out/startup_timer_x11"

for b in "${bitness[@]}"; do
  exe="${app_dir[$b]}/quillpost.exe"
  [ -f "$exe" ] || { echo "startup.sh: no $exe (run 'make build', or name the folder with --app$b)" >&2; exit 1; }
  format=$(x86_64-w64-mingw32-objdump -f "$exe" | sed -n 's/.*file format //p')
  [ "$format" = "${pe_format[$b]}" ] || { echo "startup.sh: $exe is $format, not a $b-bit program" >&2; exit 1; }
done

# A bitness runs only where its Wine loader runs at all (the kernel may lack 32-bit support).
declare -A cannot_run=()
for b in "${bitness[@]}"; do
  if ! why=$("${loader[$b]}" --version 2>&1 >/dev/null); then
    why=$(printf '%s' "$why" | tail -n 1 | sed "s|^.*${loader[$b]}: ||")
    cannot_run[$b]="its Wine loader ${loader[$b]} cannot run here: ${why:-exit status non-zero}"
  fi
done

mib() { awk -v n="$1" 'BEGIN { printf "%.2f", n / 1048576 }'; }
declare -A size=() stripped=()
for b in "${bitness[@]}"; do
  for prog in quillpost empty; do
    if [ $prog = quillpost ]; then file="${app_dir[$b]}/quillpost.exe"; else file="$out/empty_window$b.exe"; fi
    size[$prog$b]=$(stat -c %s "$file")
    "${strip[$b]}" -o "$work/stripped.exe" "$file"
    stripped[$prog$b]=$(stat -c %s "$work/stripped.exe")
  done
done

# One start of one program from a fresh copy of its folder (the program writes its
# settings beside itself); appends "startup_ms peak_kib" to $work/<prog><bits>.
measure() {  # prog bits counted(0|1)
  local prog=$1 b=$2 counted=$3 folder exe title line
  folder=$(mktemp -d "$work/run.XXXXXX")
  if [ "$prog" = quillpost ]; then
    cp -r "${app_dir[$b]}/." "$folder/"; exe=quillpost.exe title=Quillpost
    # Past the first start: the first-run wizard would be the window measured.
    printf '[Settings]\r\nC1=1\r\n' >"$folder/settings.ini"
  else
    cp "$out/empty_window$b.exe" "$folder/"; exe=empty_window$b.exe title="Empty window"
  fi
  if ! line=$(cd "$folder" && "$timer" --title "$title" -- "${loader[$b]}" "$exe" 2>>"$work/wine.log"); then
    echo "startup.sh: the $b-bit $exe could not be measured:" >&2
    grep startup_timer_x11 "$work/wine.log" | tail -n 3 >&2
    exit 1
  fi
  rm -rf "$folder"
  # The process measured must be the one started, not a helper it left behind.
  [[ $line =~ pid=([0-9]+)\ window_pid=([0-9]+) ]] && [ "${BASH_REMATCH[1]}" = "${BASH_REMATCH[2]}" ] ||
    echo "note: $exe's window came from a process other than the one started ($line)" >&2
  if ((counted)); then
    [[ $line =~ startup_ms=([0-9.]+)\ peak_kib=([0-9]+) ]]
    echo "${BASH_REMATCH[1]} ${BASH_REMATCH[2]}" >>"$work/$prog$b"
    [[ $line =~ exe=([^ ]+) ]] && echo "${BASH_REMATCH[1]}" >>"$work/processes"
  fi
}

runnable=()
for b in "${bitness[@]}"; do [ -n "${cannot_run[$b]:-}" ] || runnable+=("$b"); done
load_before=$(cut -d' ' -f1 /proc/loadavg)
if ((${#runnable[@]})); then
  QP_PREFIX=${QP_PREFIX:-$out/wineprefix} source "$root/tools/wine-env.sh"
  trap cleanup EXIT
  xdpyinfo >/dev/null 2>&1 || { echo "startup.sh: the private Xvfb did not come up" >&2; exit 1; }
  for b in "${runnable[@]}"; do
    echo "== $b-bit: one warm-up start of each, then $runs of each, alternating" >&2
    # Each start follows the last exit at once, with no pause: Wine's desktop process
    # leaves about a second after the last window program has gone, and a start that
    # has to bring it back costs some 300 ms more. The warm-up start brings it up, and
    # every measured start then finds it running, as the shell always is on Windows.
    measure quillpost "$b" 0
    measure empty "$b" 0
    for ((i = 1; i <= runs; i++)); do
      # Alternating the order spreads any drift of the machine over both programs.
      if ((i % 2)); then measure empty "$b" 1; measure quillpost "$b" 1
      else measure quillpost "$b" 1; measure empty "$b" 1; fi
    done
  done
fi

# Wine ran in the program's own locale; figures are printed the same everywhere.
export LC_ALL=C

# column 1 or 2 of a results file -> "median min max"
stats() {
  awk -v c="$2" '{ print $c }' "$1" | sort -g | awk '
    { v[NR] = $1 }
    END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; print m, v[1], v[NR] }'
}

wine_version=$(/usr/lib/wine/wine64 --version 2>/dev/null || echo "Wine")
echo
if ((${#runnable[@]})); then
  echo "Start-up and peak memory under $wine_version on a private Xvfb, $runs starts of each program"
  echo "per bitness, alternating, after one warm-up start of each; executables as built and as a stripped copy"
else
  echo "Executables as built and as a stripped copy; no start-up measured (below: why)"
fi
if [ -f "$work/processes" ]; then
  # Other work on the machine slows both programs alike but widens the spread.
  echo "Measured process: $(sort -u "$work/processes" | paste -sd, -) (the started pid, owner of the window);" \
    "load average $load_before before, $(cut -d' ' -f1 /proc/loadavg) after, on $(nproc) cores"
fi
echo
fmt="%-4s %-16s %10s %9s %10s %9s   %-22s %-20s\n"
printf "$fmt" bits program "exe bytes" "exe MiB" "stripped" "str. MiB" "start-up ms med [min-max]" "peak MiB med [min-max]"
declare -A med_ms=() med_mib=()
for b in "${bitness[@]}"; do
  for prog in quillpost empty; do
    if [ $prog = quillpost ]; then name=quillpost.exe; else name="empty window"; fi
    timing="not run" memory="not run"
    if [ -z "${cannot_run[$b]:-}" ]; then
      read -r m lo hi < <(stats "$work/$prog$b" 1)
      timing=$(printf "%.0f [%.0f-%.0f]" "$m" "$lo" "$hi"); med_ms[$prog$b]=$m
      read -r m lo hi < <(stats "$work/$prog$b" 2)
      memory=$(awk -v m="$m" -v lo="$lo" -v hi="$hi" 'BEGIN { printf "%.1f [%.1f-%.1f]", m / 1024, lo / 1024, hi / 1024 }')
      med_mib[$prog$b]=$(awk -v m="$m" 'BEGIN { printf "%.2f", m / 1024 }')
    fi
    printf "$fmt" "$b" "$name" "${size[$prog$b]}" "$(mib "${size[$prog$b]}")" "${stripped[$prog$b]}" "$(mib "${stripped[$prog$b]}")" "$timing" "$memory"
  done
  if [ -z "${cannot_run[$b]:-}" ]; then
    ratio=$(awk -v a="${med_ms[quillpost$b]}" -v e="${med_ms[empty$b]}" 'BEGIN { printf "%.2f", a / e }')
    diff=$(awk -v a="${med_mib[quillpost$b]}" -v e="${med_mib[empty$b]}" 'BEGIN { printf "%+.1f", a - e }')
    printf "$fmt" "$b" "program/empty" "" "" "" "" "ratio $ratio" "difference $diff"
  fi
done

echo
met() { if awk "BEGIN { exit !($1) }"; then echo met; else echo "NOT met"; fi; }
echo "Goals"
if [ -n "${size[quillpost32]:-}" ]; then
  echo "  32-bit quillpost.exe at most 1 MiB as built: $(mib "${size[quillpost32]}") MiB, $(met "${size[quillpost32]} <= 1048576")" \
    "(a stripped copy: $(mib "${stripped[quillpost32]}") MiB)"
else
  echo "  32-bit quillpost.exe at most 1 MiB as built: not measured (--bits 64)"
fi
for b in "${bitness[@]}"; do
  if [ -n "${cannot_run[$b]:-}" ]; then
    echo "  $b-bit start-up: not run (${cannot_run[$b]})"
    continue
  fi
  ratio=$(awk -v a="${med_ms[quillpost$b]}" -v e="${med_ms[empty$b]}" 'BEGIN { printf "%.2f", a / e }')
  diff=$(awk -v a="${med_mib[quillpost$b]}" -v e="${med_mib[empty$b]}" 'BEGIN { printf "%.1f", a - e }')
  echo "  $b-bit start-up at most 1.5 times the empty window's (medians): $ratio, $(met "$ratio <= 1.5")"
  echo "  $b-bit peak memory at most 10 MiB over the empty window's (medians): $diff MiB, $(met "$diff <= 10")"
done
