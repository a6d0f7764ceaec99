# Sourced by the SMTP benchmarks: the dispatch's benchmark built for release, and the clients
# it is measured beside, each sending N letters to 127.0.0.1:PORT and printing the seconds.

# Installs what the benchmarks need and builds build/bench/bench/dispatch_bench.
build_dispatch_bench() {  # root
  "$1/tools/deps.sh" bench
  cmake -S "$1" -B "$1/build/bench" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$1/build/bench" --target dispatch_bench -j2 >"$1/build/bench/build.log" 2>&1 ||
    { cat "$1/build/bench/build.log"; return 1; }
}

# Python's smtplib over one kept connection.
smtplib_seconds() {  # port letters
  /usr/bin/python3 - "$1" "$2" <<'PY'
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
print(time.monotonic() - start)
PY
}

# msmtp, a process and a connection per letter.
msmtp_seconds() {  # port letters
  local start end i
  start=$(date +%s.%N)
  for i in $(seq "$2"); do
    printf 'Subject: http://example.com/page%s.html\n\nsend http://example.com/page%s.html\n' "$i" "$i" |
      msmtp --host=127.0.0.1 --port="$1" --auth=off --tls=off --from=bench@example.org www4mail@example.net
  done
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { print e - s }'
}
