#!/usr/bin/env bash
# Round trips per letter over a slow link: a list of letters through a relay that adds a
# delay each way (default 100 ms, so one round trip is 200 ms) to a local aiosmtpd that offers
# PIPELINING. The dispatch over one kept connection, Python's smtplib over one kept connection
# and msmtp (a process, a connection per letter), in one run.
# Usage: bench/smtp_round_trips.sh [LETTERS] [DELAY_MS]   (default 50, 100)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
n=${1:-50} delay=${2:-100}
source "$root/bench/peers.sh"
build_dispatch_bench "$root"

letters=$(mktemp -d)
first_line() {  # file: the port a helper printed
  for _ in $(seq 100); do [ -s "$1" ] && break; sleep 0.1; done
  head -n 1 "$1"
}
/usr/bin/python3 "$root/tests/smtp_server.py" --dir "$letters" --pipelining >"$letters/server.port" &
server_pid=$!
trap 'kill $server_pid ${relay_pid:-} 2>/dev/null; rm -rf "$letters"' EXIT
server_port=$(first_line "$letters/server.port")
/usr/bin/python3 "$root/bench/delay_relay.py" "$server_port" "$delay" >"$letters/relay.port" &
relay_pid=$!
port=$(first_line "$letters/relay.port")
rtt=$(awk -v d="$delay" 'BEGIN { print 2 * d / 1000 }')
report() {  # name, seconds
  awk -v name="$1" -v s="$2" -v n="$n" -v rtt="$rtt" \
    'BEGIN { printf "%-40s %3d letters in %6.2f s: %5.2f round trips a letter\n", name, n, s, s / rtt / n }'
}
echo "round trip $(awk -v r="$rtt" 'BEGIN { print r * 1000 }') ms"

line=$("$root/build/bench/bench/dispatch_bench" "$port" "$n")
report "quillpost, one kept connection" "$(sed -E 's/.* in ([0-9.]+) s.*/\1/' <<<"$line")"

report "python smtplib, one kept connection" "$(smtplib_seconds "$port" "$n")"
report "msmtp, a connection per letter" "$(msmtp_seconds "$port" "$n")"
echo "received: $(ls "$letters"/*.eml | wc -l) letters"
