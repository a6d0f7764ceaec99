"""The local proxy: a browser request lands in the request line and gets the one-line
answer; the browser's registry setting is switched and put back."""
import os
import socket
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import WINE, ProgramTest, main, wait_for  # noqa: E402

KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings"


def free_port():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def registry(value):
    out = subprocess.run([WINE, "reg", "query", KEY, "/v", value], capture_output=True, timeout=30).stdout
    for line in out.decode("utf-8", "replace").splitlines():
        parts = line.split()
        if parts and parts[0] == value:
            return parts[2] if len(parts) > 2 else ""
    return None


class LocalProxy(ProgramTest):
    def test_a_browser_request_lands_in_the_request_line_and_gets_its_answer(self):
        subprocess.run([WINE, "reg", "add", KEY, "/v", "ProxyServer", "/t", "REG_SZ", "/d", "", "/f"], capture_output=True, timeout=30)
        subprocess.run([WINE, "reg", "add", KEY, "/v", "ProxyEnable", "/t", "REG_DWORD", "/d", "0", "/f"], capture_output=True, timeout=30)
        port = free_port()
        p = self.program
        p.write("settings.ini", "[Settings]\r\nlang=1\r\nProxy=1\r\npport=%d\r\n" % port)
        p.start()
        self.assertEqual(registry("ProxyServer"), "127.0.0.1:%d" % port)
        self.assertEqual(registry("ProxyEnable"), "0x1")
        reply = subprocess.run(["curl", "-s", "--http0.9", "--max-time", "10", "-x", "127.0.0.1:%d" % port, "http://example.com/page"],
                               capture_output=True, timeout=30).stdout
        self.assertEqual(reply, "Запрос http://example.com/page отправлен программе Quillpost.".encode("cp1251"))
        line = lambda: next((t for c, t in p.texts() if c.lower() == "combobox"), None)
        self.assertTrue(wait_for(lambda: line() == "http://example.com/page", timeout=10), line())
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


if __name__ == "__main__":
    main()
