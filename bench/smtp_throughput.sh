#!/usr/bin/env bash
# Letters per second to a local aiosmtpd: the dispatch over one kept connection, msmtp
# (one process per letter) and Python's smtplib over one kept connection, in one run.
# Usage: bench/smtp_throughput.sh [LETTERS]   (default 1000)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
n=${1:-1000}
source "$root/bench/peers.sh"
build_dispatch_bench "$root"

letters=$(mktemp -d)
coproc SERVER { exec /usr/bin/python3 "$root/tests/smtp_server.py" --dir "$letters"; }
trap 'kill $SERVER_PID 2>/dev/null; rm -rf "$letters"' EXIT
read -r port <&"${SERVER[0]}"

"$root/build/bench/bench/dispatch_bench" "$port" "$n"

per_second() {  # name, seconds
  awk -v name="$1" -v n="$n" -v s="$2" 'BEGIN { printf "%s: %d letters in %.2f s, %.0f letters/s\n", name, n, s, n / s }'
}
per_second "msmtp, a process per letter" "$(msmtp_seconds "$port" "$n")"
per_second "python smtplib, one connection" "$(smtplib_seconds "$port" "$n")"
echo "received: $(ls "$letters"/*.eml | wc -l) letters"
