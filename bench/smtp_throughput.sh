#!/usr/bin/env bash
# Letters per second to a local aiosmtpd: the dispatch over one kept connection, msmtp
# (one process per letter) and Python's smtplib over one kept connection, in one run.
# Usage: bench/smtp_throughput.sh [LETTERS]   (default 1000)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
n=${1:-1000}
"$root/tools/deps.sh" bench
cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/bench" --target dispatch_bench -j2 >"$root/build/bench/build.log" 2>&1 ||
  { cat "$root/build/bench/build.log"; exit 1; }

letters=$(mktemp -d)
coproc SERVER { exec /usr/bin/python3 "$root/tests/smtp_server.py" --dir "$letters"; }
trap 'kill $SERVER_PID 2>/dev/null; rm -rf "$letters"' EXIT
read -r port <&"${SERVER[0]}"

"$root/build/bench/bench/dispatch_bench" "$port" "$n"

start=$(date +%s.%N)
for i in $(seq "$n"); do
  printf 'Subject: http://example.com/page%s.html\n\nsend http://example.com/page%s.html\n' "$i" "$i" |
    msmtp --host=127.0.0.1 --port="$port" --auth=off --tls=off --from=bench@example.org www4mail@example.net
done
end=$(date +%s.%N)
awk -v n="$n" -v s="$start" -v e="$end" \
  'BEGIN { printf "msmtp, a process per letter: %d letters in %.2f s, %.0f letters/s\n", n, e - s, n / (e - s) }'

/usr/bin/python3 - "$port" "$n" <<'PY'
import smtplib, sys, time
from email.message import EmailMessage
port, n = int(sys.argv[1]), int(sys.argv[2])
start = time.monotonic()
with smtplib.SMTP("127.0.0.1", port) as s:
    for i in range(n):
        m = EmailMessage()
        m["From"], m["To"], m["Subject"] = "bench@example.org", "www4mail@example.net", "http://example.com/page%d.html" % i
        m.set_content("send http://example.com/page%d.html" % i)
        s.send_message(m)
took = time.monotonic() - start
print("python smtplib, one connection: %d letters in %.2f s, %.0f letters/s" % (n, took, n / took))
PY
echo "received: $(ls "$letters"/*.eml | wc -l) letters"
