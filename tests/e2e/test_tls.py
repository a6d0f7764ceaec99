"""Letters over STARTTLS and implicit TLS to aiosmtpd, through the system's own TLS; the
server certificate judged against the trusted roots and the host name, and trusted by the
user's choice when it does not pass. The test's certificate authority goes into this Wine
prefix's trusted roots for the test's length only; the machine's own are not touched."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Certificates, EximServer, LetterServer, ProgramTest, main, wait_for  # noqa: E402

BUTTONS = ("[Button 1]\r\nName=Страница\r\nService=www4mail@example.net\r\nSubject=%request%\r\n"
           "[body 1]\r\nCount=0\r\n0=send %request%\r\n")


class TlsTest(ProgramTest):

    @classmethod
    def setUpClass(cls):
        cls.certificates = Certificates()

    @classmethod
    def tearDownClass(cls):
        cls.certificates.remove()

    def setUp(self):
        super().setUp()
        self.servers = []
        self.trusted_root = False

    def tearDown(self):
        for server in self.servers:
            server.stop()
        if self.trusted_root:
            self.program.probe("untrustroot", self.certificates.path("ca.der"))
        super().tearDown()

    def trust_test_authority(self):
        self.assertEqual(self.program.probe("trustroot", self.certificates.path("ca.der")).returncode, 0)
        self.trusted_root = True

    def serve(self, *flags, tls="", user="", kind=LetterServer, extra=""):
        """A server, and the program's settings to send through it as "localhost" (the name
        the certificates carry) with these TLSk and user values."""
        server = kind(*flags)
        self.servers.append(server)
        settings = "[Settings]\r\nlang=1\r\n%s[SMTP]\r\nSMTP1=localhost\r\nPort1=%d\r\n" % (extra, server.port)
        if tls:
            settings += "TLS1=%s\r\n" % tls
        if user:
            settings += "User1=%s\r\nPass1=secret\r\n" % user
        settings += "[Emails]\r\nEM1=user@example.org\r\n"
        self.program.write("settings.ini", settings)
        self.program.write("Buttons.ini", BUTTONS)
        return server

    def press(self):
        self.assertEqual(self.program.probe("click", "TfmMain", "Страница").returncode, 0)

    def box(self, timeout=30):
        """The text of the message box the program shows, once it shows one."""
        texts = lambda: self.program.probe("texts", "#32770")  # noqa: E731
        self.assertTrue(wait_for(lambda: texts().returncode == 0, timeout=timeout), "no message box")
        return texts().stdout.decode("utf-8", "replace")

    def answer(self, button):
        """Presses the box's button of that index (0: Yes or OK, 1: No)."""
        out = self.program.probe("texts", "#32770").stdout.decode("utf-8", "replace")
        captions = [line.split("\t", 1)[1] for line in out.splitlines() if line.startswith("Button\t")]
        self.assertEqual(self.program.probe("click", "#32770", captions[button]).returncode, 0, captions)
        self.assertTrue(wait_for(lambda: self.program.probe("texts", "#32770").returncode != 0, timeout=10))

    def status(self):
        return next((text for cls, text in self.program.texts() if cls == "msctls_statusbar32"), "")

    @staticmethod
    def envelope(path):
        with open(path + ".env") as f:
            return f.read().split("\n")

    def test_starttls_with_auth_plain_delivers_encrypted(self):
        self.trust_test_authority()
        server = self.serve("--tls", self.certificates.pair("localhost"), "--auth", "user:secret", "--mechanisms", "LOGIN,PLAIN",
                            user="user")
        self.program.start("http://example.com/secure")
        self.press()
        self.assertTrue(wait_for(lambda: len(server.received()) == 1, timeout=30), self.status())
        sender, recipients, login, mechanism, tls_version = self.envelope(server.received()[0])[:5]
        self.assertEqual((login, mechanism), ("user", "PLAIN"))
        self.assertTrue(tls_version.startswith("TLSv1."), tls_version)
        self.assertTrue(wait_for(lambda: self.status() == "Операция успешно завершена!", timeout=10), self.status())

    def test_a_list_over_starttls_with_auth_to_exim_is_pipelined_and_clean(self):
        """Against a strict real server: the list's letters go pipelined, each end with the next
        letter's commands, over STARTTLS with AUTH PLAIN, and exim finds nothing to reject."""
        self.trust_test_authority()
        server = self.serve("--tls-cert", self.certificates.path("localhost.pem"), "--tls-key", self.certificates.path("localhost.key"),
                            "--auth", "user:secret", kind=EximServer, user="user", extra="RL1=1\r\n")
        p = self.program
        p.start()
        self.assertEqual(p.probe("settext", "TfmMain", "Edit", "1", "http://a.example/\\nhttp://b.example/\\nhttp://c.example/").returncode, 0)
        self.press()
        self.assertTrue(wait_for(lambda: len(server.received()) == 3, timeout=30), self.status() + server.log("mainlog"))
        self.assertTrue(wait_for(lambda: self.status() == "Операция успешно завершена!", timeout=10), self.status())
        log = server.log("mainlog")
        taken = [line for line in log.splitlines() if " <= " in line]
        self.assertEqual(len(taken), 3, log)
        for line in taken:
            self.assertIn(" X=TLS", line)  # encrypted
            self.assertIn(" A=plain", line)  # logged in with AUTH PLAIN
            self.assertIn(" L ", line)  # its commands came pipelined
        self.assertNotIn("synchronization error", log)
        self.assertEqual(server.log("rejectlog"), "")

    def test_implicit_tls_on_its_own_port_delivers_encrypted_and_the_connection_is_kept(self):
        self.trust_test_authority()
        server = self.serve("--tls", self.certificates.pair("localhost"), "--implicit", tls="3", extra="DontDisconnect=1\r\n")
        self.program.start("http://example.com/implicit")
        self.press()
        self.assertTrue(wait_for(lambda: len(server.received()) == 1, timeout=30), self.status())
        self.assertTrue(wait_for(lambda: self.status() == "Операция успешно завершена!", timeout=10), self.status())
        self.press()  # the kept secure connection carries the next letter
        self.assertTrue(wait_for(lambda: len(server.received()) == 2, timeout=30), self.status())
        first, second = (self.envelope(path) for path in server.received())
        self.assertTrue(first[4].startswith("TLSv1."), first)
        self.assertEqual(first[5], second[5], "a second connection")

    def test_an_untrusted_certificate_is_refused_until_the_user_trusts_it(self):
        server = self.serve("--tls", self.certificates.pair("self"))
        p = self.program
        p.start("http://example.com/untrusted")
        self.press()
        text = self.box()
        self.assertIn("localhost: сертификат выдан тем, кому система не доверяет", text)
        fingerprint = self.certificates.fingerprint("self")
        self.assertIn(fingerprint[:47], text)
        p.screenshot("tls-untrusted-certificate.png")
        self.answer(1)  # No: nothing goes, nothing is kept
        self.assertTrue(wait_for(lambda: self.status() == "При отправке запроса произошла ошибка.", timeout=10), self.status())
        self.assertEqual(server.received(), [])
        self.assertNotIn(b"Cert1", p.read("settings.ini"))

        self.press()
        self.box()
        self.answer(0)  # Yes: this letter goes, and the choice is kept
        self.assertTrue(wait_for(lambda: len(server.received()) == 1, timeout=30), self.status())
        self.assertIn(("Cert1=localhost:%d:%s" % (server.port, fingerprint)).encode(), p.read("settings.ini"))
        self.assertTrue(self.envelope(server.received()[0])[4].startswith("TLSv1."))

        self.press()  # asked no more
        self.assertTrue(wait_for(lambda: len(server.received()) == 2, timeout=30), self.status())
        self.assertNotEqual(p.probe("texts", "#32770").returncode, 0)

    def test_a_certificate_for_another_name_is_refused_until_the_user_trusts_it(self):
        self.trust_test_authority()
        server = self.serve("--tls", self.certificates.pair("other"))
        self.program.start("http://example.com/other-name")
        self.press()
        self.assertIn("localhost: сертификат выдан на другое имя сервера", self.box())
        self.assertEqual(server.received(), [])
        self.answer(0)
        self.assertTrue(wait_for(lambda: len(server.received()) == 1, timeout=30), self.status())

    def test_starttls_required_and_not_offered_sends_nothing(self):
        server = self.serve(tls="2")
        self.program.start("http://example.com/plain")
        self.press()
        self.assertIn("localhost: сервер не предлагает STARTTLS, а шифрование для него обязательно", self.box())
        self.answer(0)
        self.assertEqual(server.received(), [])

    def test_a_password_is_not_sent_in_plain_text_to_a_server_offering_starttls(self):
        server = self.serve("--tls", self.certificates.pair("self"), tls="0", user="user")
        self.program.start("http://example.com/no-tls")
        self.press()
        self.assertIn("пароль открытым текстом не посылается", self.box())
        self.answer(0)
        self.assertEqual(server.received(), [])

    def test_a_server_dropping_the_handshake_ends_the_letter_while_the_window_answers(self):
        self.serve("--drop-handshake")
        p = self.program
        p.start("http://example.com/dropped")
        self.press()
        # The server holds the handshake for two seconds before it goes: the window answers
        # meanwhile.
        answers = [float(x) for x in p.probe("latency", "TfmMain", "1500").stdout.decode().split()]
        self.assertTrue(answers and max(answers) < 500, answers)
        self.assertIn("localhost: не удалось установить защищённое соединение (TLS)", self.box())
        self.answer(0)
        self.assertTrue(wait_for(lambda: self.status() == "При отправке запроса произошла ошибка.", timeout=10), self.status())

    def test_a_cancel_ends_a_handshake_the_server_never_answers(self):
        self.serve("--stall-handshake")
        p = self.program
        p.start("http://example.com/stalled")
        self.press()
        self.assertTrue(wait_for(lambda: self.status() not in ("", "Author: Quillpost developers"), timeout=10))
        time.sleep(0.5)  # well inside the handshake by now
        p.probe("click", "TfmMain", "X")
        self.assertTrue(wait_for(lambda: self.status() == "Отправка запроса была отменена.", timeout=10), self.status())
        self.assertNotEqual(p.probe("texts", "#32770").returncode, 0)  # a cancel is no error to tell


if __name__ == "__main__":
    main()
