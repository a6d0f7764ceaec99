#!/usr/bin/python3
"""A DNS server for the tests, on loopback, that answers MX and A questions from its
command line, honestly or as an attacker would.

  dns_server.py [--mx DOMAIN=PREF:HOST,...] [--a HOST=ADDRESS] [--mode MODE] [--rcode N]

It listens on UDP and TCP on one free port of 127.0.0.1 and prints that port on its first
line. Modes:
  honest       answers every question (the default)
  forged       before each honest answer sends, from its own port, answers with the wrong
               ID, for another name, for another type, that are no response, cut short,
               with a pointer loop, with counts larger than the records, and from another
               port a well-formed answer: all of them name "forged.example" as exchanger
  truncate     over UDP only a header with TC set; the whole answer over TCP
  silent       never answers
  deaf-once    ignores the first datagram, answers the ones after
--rcode N answers every question with that response code and no records.
"""
import argparse
import socket
import struct
import sys
import threading

MX, A, IN = 15, 1, 1


def wire_name(name):
    out = b""
    for label in name.rstrip(".").split("."):
        if label:
            out += bytes([len(label)]) + label.encode()
    return out + b"\0"


def parse_question(query):
    """(id, name, type, the question's bytes) of a query, or None."""
    if len(query) < 12:
        return None
    (ident,) = struct.unpack(">H", query[:2])
    labels, pos = [], 12
    while pos < len(query) and query[pos] != 0:
        length = query[pos]
        labels.append(query[pos + 1:pos + 1 + length].decode("ascii", "replace"))
        pos += 1 + length
    if pos + 5 > len(query):
        return None
    qtype, _ = struct.unpack(">HH", query[pos + 1:pos + 5])
    return ident, ".".join(labels).lower(), qtype, query[12:pos + 5]


def record(owner, rtype, data):
    return owner + struct.pack(">HHIH", rtype, IN, 3600, len(data)) + data


class Zone:
    def __init__(self, mx, a):
        self.mx = {}  # domain -> [(preference, host)]
        for item in mx:
            domain, hosts = item.split("=", 1)
            for entry in hosts.split(","):
                pref, host = entry.split(":", 1)
                self.mx.setdefault(domain.lower(), []).append((int(pref), host.lower()))
        self.a = {}
        for item in a:
            host, address = item.split("=", 1)
            self.a.setdefault(host.lower(), []).append(address)

    def answer(self, ident, name, qtype, question, rcode=0, flags=0x8180, mx_override=None):
        answers, additionals = [], []
        if rcode == 0 and qtype == MX:
            for pref, host in (mx_override or self.mx.get(name, [])):
                answers.append(record(b"\xc0\x0c", MX, struct.pack(">H", pref) + wire_name(host)))
                for address in self.a.get(host, []):
                    additionals.append(record(wire_name(host), A, socket.inet_aton(address)))
        elif rcode == 0 and qtype == A:
            for address in self.a.get(name, []):
                answers.append(record(b"\xc0\x0c", A, socket.inet_aton(address)))
        if rcode == 0 and not answers and name not in self.mx and name not in self.a:
            rcode = 3
        header = struct.pack(">HHHHHH", ident, flags | rcode, 1, len(answers), 0, len(additionals))
        return header + question + b"".join(answers) + b"".join(additionals)


def forgeries(zone, ident, name, qtype, question):
    """Answers an attacker might send, each naming forged.example, none of them acceptable."""
    forged = [(10, "forged.example")]
    good = zone.answer(ident, name, qtype, question, mx_override=forged)
    other_name = wire_name("forged." + name) + question[len(wire_name(name)):]
    other_type = question[:-4] + struct.pack(">HH", A if qtype == MX else MX, IN)
    loop_at = 12 + len(question) + 12 + 2  # the exchanger's name of the first record
    loop = struct.pack(">HHHHHH", ident, 0x8180, 1, 1, 0, 0) + question + record(b"\xc0\x0c", MX, struct.pack(">H", 1) + struct.pack(">H", 0xC000 | loop_at))
    return [
        struct.pack(">H", ident ^ 0x5A5A) + good[2:],
        zone.answer(ident, "forged." + name, qtype, other_name, mx_override=forged),
        zone.answer(ident, name, qtype, other_type, mx_override=forged),
        good[:2] + struct.pack(">H", 0x0100) + good[4:],
        good[:len(good) - 3],
        loop,
        good[:6] + struct.pack(">H", 9) + good[8:],
    ]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mx", action="append", default=[])
    parser.add_argument("--a", action="append", default=[])
    parser.add_argument("--mode", default="honest", choices=["honest", "forged", "truncate", "silent", "deaf-once"])
    parser.add_argument("--rcode", type=int, default=0)
    args = parser.parse_args()
    zone = Zone(args.mx, args.a)

    udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    tcp = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    tcp.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    for _ in range(50):  # one port for both
        udp.bind(("127.0.0.1", 0))
        try:
            tcp.bind(("127.0.0.1", udp.getsockname()[1]))
            break
        except OSError:
            udp.close()
            udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    tcp.listen(8)
    stranger = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    stranger.bind(("127.0.0.1", 0))
    print(udp.getsockname()[1], flush=True)

    def serve_tcp():
        while True:
            conn, _ = tcp.accept()
            with conn:
                data = b""
                while len(data) < 2 or len(data) < 2 + struct.unpack(">H", data[:2])[0]:
                    chunk = conn.recv(4096)
                    if not chunk:
                        break
                    data += chunk
                q = parse_question(data[2:])
                if q:
                    reply = zone.answer(*q, rcode=args.rcode)
                    conn.sendall(struct.pack(">H", len(reply)) + reply)

    threading.Thread(target=serve_tcp, daemon=True).start()
    seen = 0
    while True:
        query, peer = udp.recvfrom(4096)
        seen += 1
        q = parse_question(query)
        if not q or args.mode == "silent" or (args.mode == "deaf-once" and seen == 1):
            continue
        if args.mode == "forged":
            for bad in forgeries(zone, *q):
                udp.sendto(bad, peer)
            stranger.sendto(zone.answer(*q, mx_override=[(10, "forged.example")]), peer)
        if args.mode == "truncate":
            ident, _, _, question = q
            udp.sendto(struct.pack(">HHHHHH", ident, 0x8380, 1, 0, 0, 0) + question, peer)
            continue
        udp.sendto(zone.answer(*q, rcode=args.rcode), peer)


if __name__ == "__main__":
    sys.exit(main())
