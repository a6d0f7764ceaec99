#!/usr/bin/env python3
"""Proxy load: 2,000 requests from 20 concurrent clients at the running program under Wine
(automatic mode off), while a probe asks the window for the request line's text every
10 ms. Prints requests per second, wrong or missing replies and the slowest answer.

Usage (after `make build`): bench/proxy_load.sh [REQUESTS] [CLIENTS]
"""
import argparse
import os
import socket
import subprocess
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import harness  # noqa: E402


def client(port, numbers, failures, slowest):
    for n in numbers:
        address = "http://example.com/load/%d" % n
        expected = ("Request %s has been passed to Quillpost." % address).encode("cp1252")
        started = time.monotonic()
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=30) as s:
                s.sendall(("GET %s HTTP/1.1\r\nHost: example.com\r\n\r\n" % address).encode())
                reply = b""
                while True:
                    chunk = s.recv(4096)
                    if not chunk:
                        break
                    reply += chunk
            if reply != expected:
                failures.append((n, reply[:80]))
        except OSError as e:
            failures.append((n, str(e)))
        slowest[0] = max(slowest[0], time.monotonic() - started)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--requests", type=int, default=2000)
    parser.add_argument("--clients", type=int, default=20)
    parser.add_argument("--app", default=os.path.join(ROOT, "build", "win64", "app"))
    parser.add_argument("--probe", default=os.path.join(ROOT, "build", "win64", "tests", "probe.exe"))
    args = parser.parse_args()
    harness.OPTIONS.app = args.app
    harness.OPTIONS.probe = args.probe

    program = harness.Program()
    port = harness.free_port()
    # English texts: the reply is checked byte for byte.
    program.write("settings.ini", "[Settings]\r\nlang=0\r\nProxy=1\r\npport=%d\r\n" % port)
    program.start()
    try:
        # The probe asks every 10 ms from before the load until it is stopped after it.
        probe = subprocess.Popen([harness.WINE, args.probe, "latency", "TfmMain", "600000"], stdout=subprocess.PIPE, text=True)
        answers = []
        reader = threading.Thread(target=lambda: answers.extend(float(x) for x in probe.stdout), daemon=True)
        reader.start()
        while not answers:
            time.sleep(0.1)
        failures, slowest = [], [0.0]
        per_client = [range(c, args.requests, args.clients) for c in range(args.clients)]
        threads = [threading.Thread(target=client, args=(port, numbers, failures, slowest)) for numbers in per_client]
        during = len(answers)
        started = time.monotonic()
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        elapsed = time.monotonic() - started
        time.sleep(0.5)
        probe.kill()
        reader.join(timeout=5)
        under_load = answers[during:]
        alive = program.process.poll() is None
        line = program.request_line() if alive else "(program ended)"
    finally:
        program.close()
    print("requests %d, clients %d: %.2f s, %.0f requests/s, slowest reply %.0f ms" %
          (args.requests, args.clients, elapsed, args.requests / elapsed, slowest[0] * 1000))
    print("wrong or missing replies: %d%s" % (len(failures), (" e.g. %r" % (failures[:3],)) if failures else ""))
    print("program still running: %s; request line afterwards: %s" % (alive, line))
    timed = sorted(a for a in under_load if a >= 0)
    print("window answers under load: %d, unanswered %d, slowest %.1f ms, median %.2f ms" %
          (len(timed), len(under_load) - len(timed), timed[-1] if timed else 0, timed[len(timed) // 2] if timed else 0))
    return 0 if not failures and alive and timed and len(timed) == len(under_load) else 1


if __name__ == "__main__":
    sys.exit(main())
