"""Runs quillpost.exe under Wine from a copy of its program folder and drives it.

The test run (tests/run.sh) provides DISPLAY (a private Xvfb), WINEPREFIX and LANG.
"""
import argparse
import glob
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest
from xml.sax.saxutils import quoteattr

WINE = os.environ.get("QP_WINE") or "/usr/lib/wine/wine64"
TESTS = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OPTIONS = argparse.Namespace(app=None, probe=None, shots=None, junit=None)


def wait_for(predicate, timeout=20.0, interval=0.1):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    return predicate()


def free_port():
    """A loopback port nobody listens on now."""
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def visible_windows(title="Quillpost"):
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
                         capture_output=True, text=True).stdout
    return [w for w in out.split() if w]


def clipboard():
    return subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True,
                          timeout=10).stdout.decode("utf-8", "replace")


def set_clipboard(text):
    # xclip stays behind to serve the selection: it must not hold our output open.
    subprocess.run(["xclip", "-i", "-selection", "clipboard"], input=text.encode("utf-8"), timeout=10,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class LetterServer:
    """The test SMTP server (aiosmtpd on loopback) keeping every letter as a file."""

    def __init__(self, *flags):
        self.folder = tempfile.mkdtemp(prefix="qp-letters-")
        self.process = subprocess.Popen(["/usr/bin/python3", os.path.join(TESTS, "smtp_server.py"), "--dir", self.folder, *flags],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.port = int(self.process.stdout.readline())

    def settings(self):
        """settings.ini sections that send through this server from user@example.org."""
        return "[SMTP]\r\nSMTP1=127.0.0.1\r\nPort1=%d\r\n[Emails]\r\nEM1=user@example.org\r\n" % self.port

    def received(self):
        return sorted(glob.glob(os.path.join(self.folder, "*.eml")))

    def receiving(self):
        """How many letters the server holds unanswered or has answered (--data-delay)."""
        return len(glob.glob(os.path.join(self.folder, "receiving.*")))

    def closed_connections(self):
        """How many connections the server has closed by itself (--close-after)."""
        return len(glob.glob(os.path.join(self.folder, "closed.*")))

    def contents(self):
        return [open(path, "rb").read() for path in self.received()]

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


class EximServer:
    """Debian's exim on loopback (tests/exim_server.py): a strict, real mail server."""

    def __init__(self, *flags):
        self.folder = tempfile.mkdtemp(prefix="qp-exim-")
        self.process = subprocess.Popen(["/usr/bin/python3", os.path.join(TESTS, "exim_server.py"), "--dir", self.folder, *flags],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.port = int(self.process.stdout.readline())

    def received(self):
        return sorted(glob.glob(os.path.join(self.folder, "mail", "new", "*")))

    def log(self, name):
        try:
            with open(os.path.join(self.folder, "log", name), encoding="utf-8", errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()  # it ends every exim process it started, then itself
            try:
                self.process.wait(timeout=15)
            except subprocess.TimeoutExpired:
                self.process.kill()
        self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


class Certificates:
    """Certificates made for one test with openssl: a certificate authority of the test's own,
    server certificates it signed for "localhost" and for another name, and a self-signed one
    for "localhost". Each server certificate is a "name.pem,name.key" pair as the test servers
    take it; the authority is also in DER ("ca.der") for the probe's trustroot."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="qp-certs-")
        self._openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=Quillpost Test CA",
                      "-keyout", self.path("ca.key"), "-out", self.path("ca.pem"))
        self._openssl("x509", "-in", self.path("ca.pem"), "-outform", "DER", "-out", self.path("ca.der"))
        self._signed("localhost", "localhost")
        self._signed("other", "mail.example.org")
        self._openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=localhost",
                      "-addext", "subjectAltName=DNS:localhost", "-keyout", self.path("self.key"), "-out", self.path("self.pem"))

    def path(self, name):
        return os.path.join(self.folder, name)

    def pair(self, name):
        return "%s,%s" % (self.path(name + ".pem"), self.path(name + ".key"))

    def fingerprint(self, name):
        """The SHA-256 fingerprint as openssl prints it: "AB:CD:..."."""
        out = subprocess.run(["openssl", "x509", "-in", self.path(name + ".pem"), "-noout", "-fingerprint", "-sha256"],
                             capture_output=True, text=True, check=True).stdout
        return out.strip().split("=", 1)[1]

    def _signed(self, name, host):
        self._openssl("req", "-new", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=" + host,
                      "-keyout", self.path(name + ".key"), "-out", self.path(name + ".csr"))
        with open(self.path(name + ".ext"), "w") as f:
            f.write("subjectAltName=DNS:%s\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n" % host)
        self._openssl("x509", "-req", "-in", self.path(name + ".csr"), "-CA", self.path("ca.pem"), "-CAkey", self.path("ca.key"),
                      "-CAcreateserial", "-days", "2", "-extfile", self.path(name + ".ext"), "-out", self.path(name + ".pem"))

    @staticmethod
    def _openssl(*args):
        subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)

    def remove(self):
        shutil.rmtree(self.folder, ignore_errors=True)


class Program:
    """One program folder copy; start() runs quillpost.exe from it."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="qp-e2e-")
        shutil.copytree(OPTIONS.app, self.folder, dirs_exist_ok=True)
        # Only what the program ships: a run of the program folder itself leaves its files.
        for kept in ("settings.ini", "recent.cfg", "history.log", "log.txt", "list.txt", "search.qpt"):
            if os.path.exists(self.path(kept)):
                os.remove(self.path(kept))
        self.process = None

    def path(self, name):
        return os.path.join(self.folder, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data if isinstance(data, bytes) else data.encode("cp1251"))

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def settings_stamp(self):
        """Which version of settings.ini is there: every write replaces the file."""
        try:
            st = os.stat(self.path("settings.ini"))
            return (st.st_ino, st.st_mtime_ns, st.st_size)
        except OSError:
            return None

    def showing(self, cls):
        return self.probe("state", cls).stdout.startswith(b"visible")

    def start(self, *args, wait=True, wizard=None):
        """wizard: what to do in the first-run wizard, should the start show it (the start
        counter not stored yet); by default Cancel (its close box), so that the test meets
        the main window."""
        # An earlier copy that is still closing would make this start a second copy.
        wait_for(lambda: not visible_windows(), timeout=10)
        before = self.settings_stamp()
        self.process = subprocess.Popen([WINE, "quillpost.exe", *args], cwd=self.folder,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        first = False
        if wait:
            # The first-run wizard comes before the main window, or not at all.
            wait_for(lambda: self.showing("TfmWizard") or self.showing("TfmMain") or self.process.poll() is not None,
                     timeout=30)
            first = self.showing("TfmWizard")
            if first:
                (wizard or (lambda: self.probe("close", "TfmWizard")))()
                wait_for(lambda: self.probe("state", "TfmWizard").returncode != 0, timeout=10)
            windows = wait_for(visible_windows)
            if not windows:
                code = self.process.poll()
                raise AssertionError("the main window did not appear (the program %s)" %
                                     ("is still running" if code is None else "ended with %d" % code))
            # The first activation ends by selecting the stored mailbox, which writes
            # settings.ini: until then the program is not ready for a test. A box it shows
            # on the way (a port in use) waits for the test instead.
            # A wizard finished by the test has written the file itself: then the sign is the
            # mailbox selected, "Active" (which the wizard does not write).
            if first and wizard:
                written = lambda: os.path.exists(self.path("settings.ini")) and b"Active=" in self.read("settings.ini")  # noqa: E731
            else:
                written = lambda: self.settings_stamp() != before  # noqa: E731
            if not wait_for(lambda: written() or self.process.poll() is not None
                            or self.probe("texts", "#32770").returncode == 0, timeout=20):
                raise AssertionError("the first activation neither wrote settings.ini nor showed a box")
            if self.process.poll() is not None:
                raise AssertionError("the program ended at once (was an earlier copy still running?)")
        return self.process

    def run_second(self, *args, timeout=20):
        """A second start: it must end by itself."""
        return subprocess.run([WINE, "quillpost.exe", *args], cwd=self.folder, timeout=timeout,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode

    def probe(self, *args):
        return subprocess.run([WINE, OPTIONS.probe, *args], capture_output=True, timeout=30)

    def texts(self):
        out = self.probe("texts", "TfmMain").stdout.decode("utf-8", "replace")
        return [tuple(line.split("\t", 1)) for line in out.splitlines() if "\t" in line]

    def request_line(self):
        return next(text for cls, text in self.texts() if cls.lower() == "combobox")

    def key(self, *keys):
        windows = wait_for(visible_windows, timeout=10)
        if not windows:
            raise AssertionError("no program window to type into")
        window = windows[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", window], timeout=10)
        # Keys queue up in order; the program takes each in turn (a menu opened by one
        # reads the next from the same queue).
        subprocess.run(["xdotool", "key", "--delay", "50", *keys], timeout=10)

    def exit_from_menu(self):
        # The exit entry is the last one of the first main-menu entry.
        self.key("F10", "Down", "Up", "Return")
        return self.wait_exit()

    def wait_exit(self, timeout=20):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def state(self, window_class="TfmMain"):
        """"visible" or "hidden", with " iconic" when minimized; "" when there is no window."""
        result = self.probe("state", window_class)
        return result.stdout.decode().strip() if result.returncode == 0 else ""

    def rect(self, window_class):
        """The window's left, top, right, bottom, the work area's, and "noactivate" or "activate"."""
        words = self.probe("rect", window_class).stdout.decode().split()
        return ([int(w) for w in words[:8]] + words[8:]) if len(words) == 9 else None

    def focused(self, window_class):
        """The class of the control with the keyboard focus in that window's thread."""
        return self.probe("focus", window_class).stdout.decode().strip()

    def screenshot(self, name):
        os.makedirs(OPTIONS.shots, exist_ok=True)
        target = os.path.join(OPTIONS.shots, name)
        subprocess.run(["import", "-window", "root", target], timeout=30)
        return target

    def close(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        # The next test's start must not meet this copy's window or its single-instance name.
        wait_for(lambda: not visible_windows(), timeout=10)
        shutil.rmtree(self.folder, ignore_errors=True)


class ProgramTest(unittest.TestCase):
    def setUp(self):
        self.program = Program()

    def tearDown(self):
        self.program.close()
        # No copy may outlive its test: the next start would be a second copy.
        wait_for(lambda: not visible_windows(), timeout=10)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("app")
    parser.add_argument("--probe", required=True)
    parser.add_argument("--shots", required=True)
    parsed, rest = parser.parse_known_args()
    vars(OPTIONS).update(vars(parsed))
    results = os.environ.get("QP_RESULTS_DIR")
    if results:
        OPTIONS.junit = os.path.join(results, os.path.basename(sys.argv[0]).replace(".py", ".xml"))
    suite = unittest.defaultTestLoader.loadTestsFromModule(sys.modules["__main__"])
    # Wine's tray hides, with a wait of seconds, whenever its last icon goes: an icon of the
    # run's own keeps it shown, so each program's exit does not pay that wait.
    keeper = subprocess.Popen([WINE, OPTIONS.probe, "keeptray"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        result = unittest.TextTestRunner(verbosity=2).run(suite)
    finally:
        keeper.kill()
        keeper.wait()
    if OPTIONS.junit:
        # A test whose body and clean-up both failed is still one failed test.
        failed = {id(test) for test, _ in result.failures + result.errors}
        with open(OPTIONS.junit, "w") as f:
            f.write('<testsuite name=%s tests="%d" failures="%d" errors="0" skipped="%d"/>\n' % (
                quoteattr(os.path.basename(sys.argv[0])), result.testsRun, len(failed), len(result.skipped)))
    sys.exit(0 if result.wasSuccessful() else 1)
