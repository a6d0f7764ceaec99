"""Simple MAPI ("sendby" 1): a stand-in mapi32.dll in the program folder records every
call the program makes, and answers as the test asks."""
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import OPTIONS, WINE, ProgramTest, main, wait_for  # noqa: E402

BODY_LINE = "комментарий " + "x" * 300  # the body passes 255 characters before its last request


class Mapi(ProgramTest):

    def setUp(self):
        super().setUp()
        self.overrides = os.environ.get("WINEDLLOVERRIDES", "")
        # The stand-in in the program folder, not Wine's own mapi32.
        os.environ["WINEDLLOVERRIDES"] = ";".join(filter(None, [self.overrides, "mapi32=n"]))
        subprocess.run([WINE, "reg", "add", "HKLM\\SOFTWARE\\Microsoft\\Windows Messaging Subsystem", "/v", "MAPI", "/d", "1", "/f"],
                       check=True, capture_output=True, timeout=60)
        p = self.program
        p.write("settings.ini", "[Settings]\r\nlang=1\r\nsendby=1\r\n[Emails]\r\nEM1=user@example.org\r\n")
        p.write("Buttons.ini", ("\ufeff[Button 1]\r\nName=Страница\r\nService=www4mail@example.org\r\nSubject=%%request%%\r\n"
                                "[body 1]\r\nCount=2\r\n0=send %%request%%\r\n1=%s\r\n2=send %%request%%/end\r\n" % BODY_LINE).encode("utf-8"))

    def tearDown(self):
        os.environ["WINEDLLOVERRIDES"] = self.overrides
        super().tearDown()

    def stand_in(self, variant="complete", mode=""):
        shutil.copy(os.path.join(os.path.dirname(OPTIONS.probe), "mapi32-" + variant, "mapi32.dll"), self.program.folder)
        self.program.write("mapi-mode.txt", mode)

    def calls(self):
        path = self.program.path("mapi-calls.txt")
        return open(path, encoding="cp1251").read().splitlines() if os.path.exists(path) else []

    def status(self):
        return next((text for cls, text in self.program.texts() if cls == "msctls_statusbar32"), "")

    def press(self):
        p = self.program
        p.start("http://example.com/")
        self.assertEqual(p.probe("click", "TfmMain", "Страница").returncode, 0)

    def test_each_letter_goes_whole_through_one_send_mail(self):
        self.stand_in()
        self.press()
        self.assertTrue(wait_for(lambda: self.status() == "Операция успешно завершена!", timeout=20), self.status())
        sends = [c for c in self.calls() if c.startswith("MAPISendMail")]
        self.assertEqual(len(sends), 1, self.calls())
        self.assertIn(" subject=http://example.com/ to=SMTP:www4mail@example.org text=send http://example.com/\\r\\n%s\\r\\n"
                      "send http://example.com//end" % BODY_LINE, sends[0])
        self.assertEqual(self.calls()[0], "MAPILogon / 0")
        self.assertEqual(self.calls()[-1], "MAPILogoff 7")

    def test_a_refused_send_ends_with_the_failure(self):
        self.stand_in(mode="refuse-send")
        self.press()
        self.assertTrue(wait_for(lambda: self.status() == "При отправке запроса произошла ошибка.", timeout=20), self.status())
        self.assertEqual(len([c for c in self.calls() if c.startswith("MAPISendMail")]), 1)

    def test_a_refused_logon_is_tried_with_the_dialog_and_unknown_names_are_resolved_through_it(self):
        self.stand_in(mode="refuse-logon unknown")
        self.press()
        self.assertTrue(wait_for(lambda: self.status() == "Операция успешно завершена!", timeout=20), self.status())
        calls = self.calls()
        self.assertEqual(calls[:2], ["MAPILogon / 0", "MAPILogon / 1"])
        self.assertIn("MAPIResolveName www4mail@example.org 0", calls)
        self.assertIn("MAPIResolveName www4mail@example.org 8", calls)

    def test_a_library_that_lacks_a_function_is_refused_with_a_message_and_the_program_runs_on(self):
        self.stand_in("incomplete")
        self.press()
        box = lambda: self.program.probe("texts", "#32770").stdout.decode("utf-8", "replace")
        # The box may be on the screen a moment before its text is.
        self.assertTrue(wait_for(lambda: "Службы MAPI в этой системе недоступны" in box(), timeout=20), box())
        self.assertIn("MAPIAddress", box())
        self.assertEqual(self.calls(), [])
        self.assertIsNone(self.program.process.poll())


if __name__ == "__main__":
    main()
