#!/usr/bin/python3
"""A real SMTP server on loopback for the tests: aiosmtpd, saving every letter it receives.

Prints the port it listens on as the first line of its output, then serves until killed.
Modes for the failures the client must survive:
  --auth USER:PASS   offer AUTH LOGIN and require it (the letter's .env file names the mechanism used)
  --mechanisms LIST  with --auth: the mechanisms offered, of LOGIN and PLAIN (default LOGIN)
  --no-auth          offer no AUTH at all (the default when --auth is not given)
  --no-ehlo          answer EHLO with 502, so the client must fall back to HELO
  --pipelining       offer PIPELINING (commands sent ahead of their replies, RFC 2920)
  --refuse-rcpt TEXT answer 550 to RCPT TO addresses containing TEXT
  --limit-per-connection N  after N letters on a connection, answer MAIL with 421 and close
  --refuse-data TEXT answer 554 at the end of a letter whose text contains TEXT
  --drop-data        close the connection in the middle of DATA
  --silent           accept connections and never say a word
  --close-after N    close every connection after N letters (and leave a file closed.<letter>)
  --421-after N      after N letters, say "421 ... closing" unasked, then close (a file closed.<letter>)
  --tls CERT,KEY     offer STARTTLS with this certificate (PEM files); AUTH only after it
  --implicit         with --tls: TLS from the first byte instead (as on port 465)
  --inject-after-starttls  offer STARTTLS and answer it with a second reply in the same write
  --drop-handshake   offer STARTTLS, accept it, then close in the middle of the TLS handshake
                     (two seconds after the client's first bytes)
  --stall-handshake  the same, but say nothing for a minute: the client waits in its handshake
  --quit-delay S     answer QUIT only after S seconds (a file quit.<client port> says it has come)
The .env file beside each letter: sender, recipients, login, AUTH mechanism, the TLS version
the letter came over ("" when it came in plain text), and the client's port (one per connection).
"""
import argparse
import asyncio
import os
import socket
import ssl
import sys
import threading
import time

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def parse():
    p = argparse.ArgumentParser()
    p.add_argument("--dir", required=True)
    p.add_argument("--host", default="127.0.0.1", help="the loopback address to listen on")
    p.add_argument("--port", type=int, default=0, help="0: a free one")
    p.add_argument("--auth")
    p.add_argument("--no-auth", action="store_true")
    p.add_argument("--mechanisms", default="LOGIN")
    p.add_argument("--pipelining", action="store_true")
    p.add_argument("--no-ehlo", action="store_true")
    p.add_argument("--refuse-rcpt")
    p.add_argument("--refuse-data")
    p.add_argument("--limit-per-connection", type=int, default=0)
    p.add_argument("--drop-data", action="store_true")
    p.add_argument("--silent", action="store_true")
    p.add_argument("--close-after", type=int, default=0)
    p.add_argument("--421-after", dest="say_421_after", type=int, default=0)
    p.add_argument("--tls")
    p.add_argument("--implicit", action="store_true")
    p.add_argument("--drop-handshake", action="store_true")
    p.add_argument("--inject-after-starttls", action="store_true")
    p.add_argument("--stall-handshake", action="store_true")
    p.add_argument("--quit-delay", type=float, default=0.0)
    p.add_argument("--data-delay", type=float, default=0.0,
                   help="seconds before each letter is accepted (a file receiving.<letter> says it has come)")
    return p.parse_args()


class Handler:
    def __init__(self, options):
        self.options = options
        self.count = 0
        self.lock = threading.Lock()

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        session.host_name = hostname
        if self.options.pipelining:
            responses.insert(-1, "250-PIPELINING")
        return responses

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if self.options.refuse_rcpt and self.options.refuse_rcpt in address:
            return "550 5.1.1 No such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.options.refuse_data and self.options.refuse_data.encode() in envelope.original_content:
            return "554 5.7.1 Message content refused"
        if self.options.data_delay:
            # The letter is here; its answer waits. The mark tells a test the exchange is on.
            open(os.path.join(self.options.dir, "receiving.%d" % (self.count + 1)), "w").close()
            await asyncio.sleep(self.options.data_delay)
        session.qp_letters = getattr(session, "qp_letters", 0) + 1
        with self.lock:
            self.count += 1
            n = self.count
        path = os.path.join(self.options.dir, "%06d.eml" % n)
        with open(path + ".tmp", "wb") as f:
            f.write(envelope.original_content)
        auth = getattr(session, "auth_data", None)
        login = auth.login.decode() if isinstance(auth, LoginPassword) else ""
        secure = server.transport.get_extra_info("ssl_object")
        with open(path + ".env", "w") as f:
            f.write("%s\n%s\n%s\n%s\n%s\n%s\n" % (envelope.mail_from, ",".join(envelope.rcpt_tos), login,
                                                  getattr(session, "qp_mechanism", ""), secure.version() if secure else "",
                                                  session.peer[1]))
        os.replace(path + ".tmp", path)
        every = self.options.close_after or self.options.say_421_after
        if every and n % every == 0:
            # After the reply has gone out: the client sees a kept connection end while it
            # is idle, as a real server ends it at its time-out. The mark tells a test that
            # it has.
            def close(transport=server.transport, mark=os.path.join(self.options.dir, "closed.%d" % n)):
                if self.options.say_421_after:
                    transport.write(b"421 4.4.2 Idle too long, closing connection\r\n")
                transport.close()  # the socket itself closes in the loop's next round...
                asyncio.get_running_loop().call_soon(lambda: open(mark, "w").close())  # ...before this
            asyncio.get_running_loop().call_later(0.1, close)
        return "250 Message accepted for delivery"


class QuirkySMTP(SMTP):
    async def smtp_EHLO(self, hostname):
        if self.quirks.no_ehlo:
            await self.push("502 5.5.2 Command not recognized")
            return
        await super().smtp_EHLO(hostname)

    async def smtp_MAIL(self, arg):
        if self.quirks.limit_per_connection and getattr(self.session, "qp_letters", 0) >= self.quirks.limit_per_connection:
            await self.push("421 4.7.0 Too many messages on this connection")
            self.transport.close()
            return
        await super().smtp_MAIL(arg)

    async def smtp_QUIT(self, arg):
        if self.quirks.quit_delay:
            open(os.path.join(self.quirks.dir, "quit.%d" % self.session.peer[1]), "w").close()
            await asyncio.sleep(self.quirks.quit_delay)
        await super().smtp_QUIT(arg)

    async def smtp_DATA(self, arg):
        if self.quirks.drop_data:
            await self.push("354 End data with <CR><LF>.<CR><LF>")
            await asyncio.sleep(0.2)
            self.transport.close()
            return
        await super().smtp_DATA(arg)


class QuirkyController(Controller):
    def __init__(self, handler, options, **kwargs):
        self.options = options
        super().__init__(handler, **kwargs)

    def factory(self):
        o = self.options
        kwargs = {"hostname": "localhost", "ident": "Quillpost test server"}
        if o.auth:
            user, password = o.auth.split(":", 1)

            def check(server, session, envelope, mechanism, auth_data):
                ok = isinstance(auth_data, LoginPassword) and auth_data.login.decode() == user \
                    and auth_data.password.decode() == password
                session.qp_mechanism = mechanism
                return AuthResult(success=ok, handled=False, auth_data=auth_data if ok else None)

            offered = o.mechanisms.upper().split(",")
            kwargs.update(authenticator=check, auth_required=True, auth_require_tls=bool(o.tls and not o.implicit),
                          auth_exclude_mechanism=[m for m in ("LOGIN", "PLAIN") if m not in offered])
        if o.tls and not o.implicit:
            kwargs["tls_context"] = server_context(o.tls)
        smtp = QuirkySMTP(self.handler, **kwargs)
        smtp.quirks = o
        return smtp


def server_context(files):
    cert, key = files.split(",")
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(cert, key)
    return context


def starttls_stand_in(inject, hold):
    """Says what a STARTTLS server says and takes STARTTLS. Then either reads the client's first
    handshake bytes and closes (the client is left in the middle of its handshake), or (inject)
    puts a second reply right behind the STARTTLS one, as someone in between could."""
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    print(listener.getsockname()[1], flush=True)

    def serve(connection):
        with connection:
            reader = connection.makefile("rb")
            connection.sendall(b"220 localhost ESMTP\r\n")
            while True:
                line = reader.readline()
                if not line:
                    return
                word = line.split(b" ")[0].strip().upper()
                if word == b"EHLO":
                    connection.sendall(b"250-localhost\r\n250 STARTTLS\r\n")
                elif word == b"STARTTLS" and inject:
                    connection.sendall(b"220 Ready to start TLS\r\n250 injected\r\n")
                elif word == b"STARTTLS":
                    connection.sendall(b"220 Ready to start TLS\r\n")
                    connection.recv(5)  # the start of the client's hello
                    time.sleep(hold)  # long enough for a test to see the client's window answer
                    return
                else:
                    connection.sendall(b"250 OK\r\n")

    while True:
        connection, _ = listener.accept()
        threading.Thread(target=serve, args=(connection,), daemon=True).start()


def silent_server():
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    print(listener.getsockname()[1], flush=True)
    held = []
    while True:
        connection, _ = listener.accept()
        held.append(connection)  # keep it open, say nothing


def main():
    options = parse()
    os.makedirs(options.dir, exist_ok=True)
    if options.silent:
        silent_server()
        return
    if options.drop_handshake or options.inject_after_starttls or options.stall_handshake:
        starttls_stand_in(options.inject_after_starttls, 60 if options.stall_handshake else 2)
        return
    port = options.port
    if not port:
        probe = socket.socket()
        probe.bind((options.host, 0))
        port = probe.getsockname()[1]
        probe.close()
    implicit = server_context(options.tls) if options.tls and options.implicit else None
    controller = QuirkyController(Handler(options), options, hostname=options.host, port=port, ssl_context=implicit)
    controller.start()
    print(port, flush=True)
    try:
        while True:
            time.sleep(3600)
    finally:
        controller.stop()


if __name__ == "__main__":
    main()
