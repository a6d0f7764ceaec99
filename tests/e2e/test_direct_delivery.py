"""Direct delivery ("sendby" 3): the program asks dnsmasq for the exchangers of each
recipient domain and hands the letter to aiosmtpd on port 25 of their loopback addresses."""
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import LetterServer, ProgramTest, main, wait_for  # noqa: E402


class DirectDelivery(ProgramTest):
    """dnsmasq on port 53 and the exchangers on port 25: addresses of this run's own, so
    that runs side by side do not meet."""

    def setUp(self):
        super().setUp()
        if os.geteuid() != 0:
            self.skipTest("ports 53 and 25 can only be taken by root here")
        if not shutil.which("dnsmasq"):
            self.skipTest("dnsmasq is not installed")
        net = "127.%d.%d" % (100 + os.getpid() % 100, os.getpid() // 100 % 250 + 1)
        self.dns_ip, one, two = net + ".53", net + ".1", net + ".2"
        self.servers = [LetterServer("--host", one, "--port", "25"), LetterServer("--host", two, "--port", "25")]
        self.dnsmasq = subprocess.Popen(
            ["dnsmasq", "--keep-in-foreground", "--conf-file=/dev/null", "--no-resolv", "--no-hosts", "--bind-interfaces",
             "--listen-address=" + self.dns_ip, "--port=53", "--pid-file=", "--user=root", "--log-facility=/dev/null",
             "--mx-host=one.test,mx.one.test,10", "--mx-host=two.test,mx.two.test,10", "--host-record=mx.one.test," + one,
             "--host-record=mx.two.test," + two, "--mx-host=nomail.test,.,0"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.program.write("settings.ini", "[Settings]\r\nlang=1\r\nsendby=3\r\nDNS_IP=%s\r\nDNS_To=3000\r\n"
                                           "[Emails]\r\nEM1=user@example.org\r\n" % self.dns_ip)

    def tearDown(self):
        if hasattr(self, "dnsmasq"):
            self.dnsmasq.kill()
            self.dnsmasq.wait()
            for server in self.servers:
                server.stop()
        super().tearDown()

    def button(self, service):
        self.program.write("Buttons.ini", "[Button 1]\r\nName=Страница\r\nService=%s\r\n"
                                          "Subject=%%request%%\r\n[body 1]\r\nCount=0\r\n0=send %%request%%\r\n" % service)

    def status(self):
        return next((text for cls, text in self.program.texts() if cls == "msctls_statusbar32"), "")

    def test_each_domain_gets_the_letter_from_its_own_exchanger(self):
        self.button("www4mail@one.test, getweb@two.test")
        p = self.program
        p.start("http://example.com/")
        self.assertEqual(p.probe("click", "TfmMain", "Страница").returncode, 0)
        self.assertTrue(wait_for(lambda: all(len(s.received()) == 1 for s in self.servers), timeout=30),
                        [len(s.received()) for s in self.servers])
        self.assertIn(b"To: www4mail@one.test\r\n", self.servers[0].contents()[0])
        self.assertIn(b"To: getweb@two.test\r\n", self.servers[1].contents()[0])
        self.assertTrue(wait_for(lambda: self.status() == "Операция успешно завершена!", timeout=10), self.status())

    def test_a_domain_that_takes_no_mail_fails_the_letter_and_the_other_still_gets_it(self):
        self.button("www4mail@nomail.test, getweb@two.test")
        p = self.program
        p.start("http://example.com/")
        p.probe("click", "TfmMain", "Страница")
        self.assertTrue(wait_for(lambda: len(self.servers[1].received()) == 1, timeout=30))
        # The run ends with its error, not with the success message.
        self.assertTrue(wait_for(lambda: self.status() == "При отправке запроса произошла ошибка.", timeout=15), self.status())
        p.screenshot("direct-delivery-failed-domain.png")
        log = p.read("log.txt").decode("cp1251", "replace") if os.path.exists(p.path("log.txt")) else ""
        self.assertIn("nomail.test", log)


if __name__ == "__main__":
    main()
