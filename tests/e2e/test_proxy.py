"""The local proxy: a browser request lands in the request line and gets the one-line
answer; the browser's registry setting is switched and put back."""
import os
import socket
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import WINE, LetterServer, ProgramTest, free_port, main, visible_windows, wait_for  # noqa: E402

KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings"


def set_registry(server, enable):
    subprocess.run([WINE, "reg", "add", KEY, "/v", "ProxyServer", "/t", "REG_SZ", "/d", server, "/f"], capture_output=True, timeout=30)
    subprocess.run([WINE, "reg", "add", KEY, "/v", "ProxyEnable", "/t", "REG_DWORD", "/d", str(enable), "/f"], capture_output=True,
                   timeout=30)


def chromium(port, url, profile):
    """Headless Chromium through the proxy, kept off the network: every request it makes
    goes to the proxy, and it makes none of its own."""
    flags = ["--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run", "--no-default-browser-check",
             "--disable-background-networking", "--disable-component-update", "--disable-sync", "--disable-default-apps",
             "--disable-extensions", "--disable-client-side-phishing-detection", "--disable-breakpad", "--metrics-recording-only",
             "--disable-features=OptimizationHints,MediaRouter,Translate,AutofillServerCommunication",
             "--user-data-dir=" + profile, "--proxy-server=127.0.0.1:%d" % port]
    return subprocess.run(["chromium", *flags, "--dump-dom", url], capture_output=True, timeout=60).stdout.decode("utf-8", "replace")


def split_reply(reply):
    """Status line, headers (by lower-case name) and body of a raw HTTP reply."""
    head, _, body = reply.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    return lines[0], {k.lower(): v for k, _, v in (l.partition(": ") for l in lines[1:])}, body


def http_reply(command):
    return split_reply(subprocess.run(command, capture_output=True, timeout=30).stdout)


def registry(value):
    out = subprocess.run([WINE, "reg", "query", KEY, "/v", value], capture_output=True, timeout=30).stdout
    for line in out.decode("utf-8", "replace").splitlines():
        parts = line.split()
        if parts and parts[0] == value:
            return parts[2] if len(parts) > 2 else ""
    return None


class LocalProxy(ProgramTest):
    def test_a_browser_request_lands_in_the_request_line_and_gets_its_answer(self):
        set_registry("", 0)
        port = free_port()
        p = self.program
        p.write("settings.ini", "[Settings]\r\nlang=1\r\nProxy=1\r\npport=%d\r\n" % port)
        p.start()
        self.assertEqual(registry("ProxyServer"), "127.0.0.1:%d" % port)
        self.assertEqual(registry("ProxyEnable"), "0x1")
        # Markup in the address stays text: the reply says it is plain text, not to be sniffed.
        address = "http://example.com/page?<script>alert(1)</script>"
        status, headers, body = http_reply(["curl", "-s", "-i", "--max-time", "10", "-x", "127.0.0.1:%d" % port, address])
        self.assertEqual(status, "HTTP/1.0 200 OK")
        self.assertEqual(headers.get("content-type"), "text/plain; charset=windows-1251")
        self.assertEqual(headers.get("x-content-type-options"), "nosniff")
        self.assertEqual(body, ("Запрос %s отправлен программе Quillpost." % address).encode("cp1251"))
        line = lambda: next((t for c, t in p.texts() if c.lower() == "combobox"), None)
        self.assertTrue(wait_for(lambda: line() == address, timeout=10), line())
        self.assertEqual(p.exit_from_menu(), 0)
        self.assertEqual(registry("ProxyServer"), "")
        self.assertEqual(registry("ProxyEnable"), "0x0")
        self.assertIn(b"Proxy=1\r\n", p.read("settings.ini"))

    def test_the_proxy_listens_on_loopback_only_and_drops_silent_clients(self):
        port = free_port()
        p = self.program
        p.write("settings.ini", "[Settings]\r\nProxy=1\r\npport=%d\r\n" % port)
        p.start()
        silent = socket.create_connection(("127.0.0.1", port), timeout=10)
        silent.settimeout(15)
        self.assertEqual(silent.recv(100), b"")  # closed by the program after a few seconds
        silent.close()
        self.assertTrue(p.texts())  # and the window still answers

    def test_a_request_that_trickles_in_is_cut_off_at_its_deadline(self):
        port = free_port()
        p = self.program
        p.write("settings.ini", "[Settings]\r\nProxy=1\r\npport=%d\r\n" % port)
        p.start()
        # A byte a second keeps the idle check happy; the deadline ends it all the same.
        slow = socket.create_connection(("127.0.0.1", port), timeout=10)
        slow.settimeout(1.0)
        started, ended = time.monotonic(), None
        for byte in b"GET http://slow.example/with/a/long/path/that/takes/time HTTP/1.0":
            try:
                slow.send(bytes([byte]))
                if slow.recv(100) == b"":
                    ended = time.monotonic() - started
                    break
            except socket.timeout:
                continue
            except OSError:
                ended = time.monotonic() - started
                break
        slow.close()
        self.assertIsNotNone(ended, "the trickling client kept its place")
        self.assertLess(ended, 20)
        self.assertTrue(p.texts())

    def test_anything_but_a_page_request_is_refused_and_fills_nothing(self):
        port = free_port()
        p = self.program
        p.write("settings.ini", "[Settings]\r\nlang=1\r\nProxy=1\r\npport=%d\r\n" % port)
        p.start("http://before.example/")
        for request in (b"GET http://held.out/a\nsend http://evil.example/ HTTP/1.0\r\n\r\n",
                        b"POST http://example.com/form HTTP/1.1\r\n\r\n",
                        b"CONNECT update.example.com:443 HTTP/1.1\r\n\r\n"):
            client = socket.create_connection(("127.0.0.1", port), timeout=10)
            client.sendall(request)
            reply = b""
            while True:
                data = client.recv(1000)
                if not data:
                    break
                reply += data
            client.close()
            self.assertEqual(split_reply(reply), ("HTTP/1.0 403 Forbidden", {
                "content-type": "text/plain; charset=windows-1251", "x-content-type-options": "nosniff", "content-length": "17",
                "connection": "close"}, "Запрос не принят.".encode("cp1251")), request)
        self.assertEqual(p.request_line(), "http://before.example/")

    def test_after_a_crash_the_browser_still_gets_its_own_setting_back(self):
        set_registry("proxy.example:3128", 1)
        port = free_port()
        p = self.program
        p.write("settings.ini", "[Settings]\r\nProxy=1\r\npport=%d\r\n" % port)
        p.start()
        self.assertEqual(registry("ProxyServer"), "127.0.0.1:%d" % port)
        p.process.kill()  # no chance to put anything back
        p.process.wait()
        wait_for(lambda: not visible_windows(), timeout=10)
        self.assertEqual(registry("ProxyServer"), "127.0.0.1:%d" % port)
        # The next start finds the browser pointed here: that is not the user's setting.
        p.start()
        self.assertEqual(p.exit_from_menu(), 0)
        self.assertEqual(registry("ProxyServer"), "proxy.example:3128")
        self.assertEqual(registry("ProxyEnable"), "0x1")
        set_registry("", 0)

    def test_a_logoff_puts_the_browsers_own_setting_back(self):
        set_registry("proxy.example:3128", 1)
        port = free_port()
        p = self.program
        p.write("settings.ini", "[Settings]\r\nProxy=1\r\npport=%d\r\n" % port)
        p.start()
        self.assertEqual(registry("ProxyServer"), "127.0.0.1:%d" % port)
        self.assertEqual(p.probe("endsession", "TfmMain").stdout.strip(), b"agreed")
        self.assertEqual(p.wait_exit(timeout=15), 0)
        self.assertEqual(registry("ProxyServer"), "proxy.example:3128")
        self.assertEqual(registry("ProxyEnable"), "0x1")
        set_registry("", 0)

    def test_a_port_held_by_another_program_leaves_proxy_mode_off(self):
        set_registry("proxy.example:3128", 1)
        holder = socket.socket()
        holder.bind(("127.0.0.1", 0))
        holder.listen(1)
        port = holder.getsockname()[1]
        p = self.program
        p.write("settings.ini", "[Settings]\r\nlang=1\r\nProxy=1\r\npport=%d\r\n" % port)
        try:
            p.start()
            box = lambda: [t for c, t in self.box_texts()]
            self.assertTrue(wait_for(lambda: "Порт используется." in box(), timeout=10), box())
            # Until the user tries another port the browser points here.
            self.assertEqual(registry("ProxyServer"), "127.0.0.1:%d" % port)
            p.probe("close", "#32770")
            self.assertTrue(wait_for(lambda: not self.box_texts(), timeout=10))
            self.assertEqual(p.exit_from_menu(), 0)
        finally:
            holder.close()
        self.assertIn(b"Proxy=0\r\n", p.read("settings.ini"))
        # At exit the browser gets back what it had.
        self.assertEqual(registry("ProxyServer"), "proxy.example:3128")
        self.assertEqual(registry("ProxyEnable"), "0x1")
        set_registry("", 0)

    def test_a_port_that_is_no_number_changes_nothing(self):
        set_registry("proxy.example:3128", 0)
        p = self.program
        p.write("settings.ini", "[Settings]\r\nlang=1\r\nProxy=1\r\npport=80a\r\n")
        p.start()
        box = lambda: [t for c, t in self.box_texts()]
        self.assertTrue(wait_for(lambda: "'80a' is not a valid integer value" in box(), timeout=10), box())
        self.assertEqual(registry("ProxyServer"), "proxy.example:3128")
        self.assertEqual(registry("ProxyEnable"), "0x0")
        p.probe("close", "#32770")
        self.assertTrue(wait_for(lambda: not self.box_texts(), timeout=10))
        self.assertEqual(p.exit_from_menu(), 0)
        self.assertIn(b"Proxy=0\r\n", p.read("settings.ini"))
        set_registry("", 0)

    def box_texts(self):
        out = self.program.probe("texts", "#32770").stdout.decode("utf-8", "replace")
        return [tuple(line.split("\t", 1)) for line in out.splitlines() if "\t" in line]

    def test_chromium_requests_land_in_the_request_list_one_capture_each(self):
        port = free_port()
        p = self.program
        p.write("settings.ini", "[Settings]\r\nlang=1\r\nProxy=1\r\nAddClipToList=1\r\npport=%d\r\n" % port)
        p.start()
        profile = tempfile.mkdtemp(prefix="qp-chromium-")
        page = chromium(port, "http://example.com/chromium-page", profile)
        # The browser shows the one-line answer as its page.
        self.assertIn("Запрос http://example.com/chromium-page отправлен программе Quillpost.", page)
        list1 = lambda: next((t for c, t in p.texts() if c.lower() == "edit" and "chromium-page" in t), "")
        self.assertTrue(wait_for(lambda: "http://example.com/chromium-page" in list1(), timeout=10), p.texts())
        # One capture per request the browser made.
        self.assertEqual(list1().split().count("http://example.com/chromium-page"), 1, list1())
        p.exit_from_menu()


class ProxyInAutomaticMode(ProgramTest):
    def setUp(self):
        super().setUp()
        # Each letter takes a second, so requests arrive while one is going out.
        self.server = LetterServer("--data-delay", "1")

    def tearDown(self):
        self.server.stop()
        super().tearDown()

    def test_a_browser_request_becomes_a_letter(self):
        port = free_port()
        p = self.program
        p.write("settings.ini", "[Settings]\r\nlang=1\r\nProxy=1\r\npport=%d\r\nAutoMode=1\r\nAuto=1\r\n" % port
                + self.server.settings())
        p.start()
        chromium(port, "http://example.com/letter-page", tempfile.mkdtemp(prefix="qp-chromium-"))
        sent = self.server.contents
        self.assertTrue(wait_for(lambda: any(b"http://example.com/letter-page" in l for l in sent()), timeout=30), sent())
        # Three more requests while letters are going out: none is dropped.
        for n in range(3):
            subprocess.Popen(["curl", "-s", "--http0.9", "--max-time", "20", "-x", "127.0.0.1:%d" % port,
                              "http://example.com/burst%d" % n], stdout=subprocess.DEVNULL)
        for n in range(3):
            address = ("http://example.com/burst%d" % n).encode()
            self.assertTrue(wait_for(lambda: any(address in l for l in sent()), timeout=30), address)
        p.exit_from_menu()

if __name__ == "__main__":
    main()
