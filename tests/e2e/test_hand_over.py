"""Handing the letter to a mail program ("sendby" 2: the mailto handler; 4: The Bat!):
a stand-in program records how it was started, and the test reads back what a mail
program would get."""
import os
import shutil
import subprocess
import sys
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import OPTIONS, WINE, ProgramTest, main, wait_for  # noqa: E402

# What a request can hold that a mail program must not lose: an encoded blank, a fragment,
# "&" and "=", Cyrillic.
REQUEST = "http://example.com/a%20b?x=1&y=2#top"
COMMENT = "комментарий = 100%"


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


class HandOver(ProgramTest):

    def setUp(self):
        super().setUp()
        p = self.program
        os.makedirs(p.path("mailer"))
        shutil.copy(os.path.join(os.path.dirname(OPTIONS.probe), "recorder.exe"), p.path("mailer"))
        self.recorder = windows_path(p.path("mailer/recorder.exe"))
        p.write("Buttons.ini", ("\ufeff[Button 1]\r\nName=Страница\r\nService=www4mail@example.org\r\nSubject=%%request%%\r\n"
                                "[body 1]\r\nCount=1\r\n0=send %%request%%\r\n1=%s\r\n" % COMMENT).encode("utf-8"))

    def recorded(self):
        """The arguments of each start of the stand-in."""
        path = self.program.path("mailer/recorded.txt")
        if not os.path.exists(path):
            return []
        starts, args = [], []
        for line in open(path, encoding="utf-8").read().split("\n"):
            if line.startswith("arg "):
                args.append(line[4:])
            elif line == "end":
                starts.append(args)
                args = []
        return starts

    def status(self):
        return next((text for cls, text in self.program.texts() if cls == "msctls_statusbar32"), "")

    def send(self, request):
        p = self.program
        p.start(request)
        self.assertEqual(p.probe("click", "TfmMain", "Страница").returncode, 0)
        self.assertTrue(wait_for(lambda: self.recorded(), timeout=30))
        self.assertTrue(wait_for(lambda: self.status() == "Операция успешно завершена!", timeout=10), self.status())
        return self.recorded()

    def test_the_mailto_handler_gets_exactly_the_composed_subject_and_body(self):
        command = '"%s" "%%1"' % self.recorder
        for args in (["HKCR\\mailto", "/v", "URL Protocol", "/d", ""], ["HKCR\\mailto\\shell\\open\\command", "/ve", "/d", command]):
            subprocess.run([WINE, "reg", "add", *args, "/f"], check=True, capture_output=True, timeout=60)
        self.program.write("settings.ini", "[Settings]\r\nlang=1\r\nsendby=2\r\n[Emails]\r\nEM1=user@example.org\r\n")
        starts = self.send(REQUEST)
        self.assertEqual(len(starts), 1, starts)
        self.assertEqual(len(starts[0]), 1, starts[0])
        address = urllib.parse.urlsplit(starts[0][0])
        self.assertEqual((address.scheme, address.path), ("mailto", "www4mail@example.org"))
        self.assertEqual(address.fragment, "")
        fields = urllib.parse.parse_qs(address.query, keep_blank_values=True)
        self.assertEqual(fields["subject"], [REQUEST])
        self.assertEqual(fields["body"], ["send %s\r\n%s\r\n" % (REQUEST, COMMENT)])

    def test_the_bat_gets_exactly_its_options_and_the_body_in_the_code_page(self):
        self.program.write("settings.ini", "[Settings]\r\nlang=1\r\nsendby=4\r\n[Emails]\r\nEM1=user@example.org\r\n"
                                           "[TheBat]\r\nsend=1\r\npath=%s\r\nBatAcName1=Home\r\n" % self.recorder)
        # A captured address that would add a recipient, an attachment or options of its own.
        request = 'ftp://x/a;TO=evil@example.org;ATTACH=C:\\secret.doc?q="x" /EVIL'
        starts = self.send(request)
        self.assertEqual(len(starts), 1, starts)
        self.assertEqual(len(starts[0]), 1, starts[0])
        body_file = windows_path(self.program.path("body-1.txt"))
        self.assertEqual(starts[0][0].split(";"), ["/MAILU=Home", "TO=www4mail@example.org",
                                                   "SUBJECT=" + request.replace('"', "%22").replace(";", "%3B"), "TEXT=" + body_file,
                                                   "QUEUE"])
        self.assertEqual(self.program.read("body-1.txt").decode("cp1251"), "send %s\r\n%s\r\n" % (request, COMMENT))


if __name__ == "__main__":
    main()
