"""A new user sets the program up inside it: the first-run wizard at the first start, the
options dialog (F2) and the button editor, each change used by the next letter."""
import os
import time
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import LetterServer, ProgramTest, main, wait_for  # noqa: E402

# Its own loopback address: the wizard writes port 25, which nothing else here listens on there.
HOST = "127.0.0.25"


class FirstStart(ProgramTest):

    def setUp(self):
        super().setUp()
        self.first_server = LetterServer("--host", HOST, "--port", "25")
        self.second_server = LetterServer("--host", HOST)
        self.program.write("Buttons.ini", "[Button 1]\r\nName=Page\r\nService=www4mail@example.net\r\n"
                                          "Subject=%request%\r\n[body 1]\r\nCount=0\r\n0=send %request%\r\n")
        # Russian chosen before, yet never started: the wizard speaks Russian until English is picked.
        self.program.write("settings.ini", "[Settings]\r\nlang=1\r\n")

    def tearDown(self):
        self.first_server.stop()
        self.second_server.stop()
        super().tearDown()

    def texts(self, window):
        out = self.program.probe("texts", window).stdout.decode("utf-8", "replace")
        return [tuple(line.split("\t", 1)) for line in out.splitlines() if "\t" in line]

    def edits(self, window):
        return [text for cls, text in self.texts(window) if cls == "Edit"]

    def test_the_wizard_the_options_and_the_button_editor_set_up_what_the_letters_use(self):
        p = self.program
        wizard_texts = []

        def finish_in_english():
            wizard_texts.extend(text for _, text in self.texts("TfmWizard"))
            # The list's own edit is the second; then the licence, the address, the server.
            p.probe("settext", "TfmWizard", "Edit", "1", "English")
            p.probe("settext", "TfmWizard", "Edit", "3", "user@example.org")
            p.probe("settext", "TfmWizard", "Edit", "4", HOST)
            for _ in range(3):
                self.assertEqual(p.probe("click", "TfmWizard", "&Next >").returncode, 0)
            self.assertEqual(p.probe("click", "TfmWizard", "&Finish!").returncode, 0)

        p.start("http://example.com/first", wizard=finish_in_english)
        self.assertIn("Лицензионное соглашение (License)", wizard_texts, "the wizard in the language chosen before")
        settings = p.read("settings.ini").decode("cp1251")
        for line in ("EM1=user@example.org", "SMTP1=" + HOST, "Port1=25", "SM1=1", "sendby=0", "lang=0"):
            self.assertIn(line + "\r\n", settings)
        shown = [text for _, text in p.texts()]
        self.assertIn("URL from browser", shown, "the main window in English")

        self.assertEqual(p.probe("click", "TfmMain", "Page").returncode, 0)
        self.assertTrue(wait_for(lambda: len(self.first_server.received()) == 1, timeout=30))
        self.assertIn(b"From: user@example.org", self.first_server.contents()[0])

        # F2: the values just entered; a new port applied is the next letter's.
        p.key("F2")
        self.assertTrue(wait_for(lambda: p.probe("state", "TfmOptions").stdout.startswith(b"visible"), timeout=20))
        edits = self.edits("TfmOptions")
        # Ten rows of five edits on the address page (a number, the address, the password,
        # the SMTP number's own edit, the size), then the server rows: number, host, port.
        self.assertEqual((edits[1], edits[51], edits[52]), ("user@example.org", HOST, "25"))
        p.probe("settext", "TfmOptions", "Edit", "52", str(self.second_server.port))
        self.assertEqual(p.probe("click", "TfmOptions", "&Apply").returncode, 0)
        port_line = "Port1=%d\r\n" % self.second_server.port
        self.assertTrue(wait_for(lambda: port_line in p.read("settings.ini").decode("cp1251"), timeout=10))
        p.probe("close", "TfmOptions")
        self.assertTrue(wait_for(lambda: p.probe("state", "TfmOptions").returncode != 0, timeout=10))

        self.assertEqual(p.probe("click", "TfmMain", "Page").returncode, 0)
        self.assertTrue(wait_for(lambda: len(self.second_server.received()) == 1, timeout=30))
        self.assertEqual(len(self.first_server.received()), 1)

        # The button's own menu (the menu key on it), its last entry: the editor. A new name
        # and body saved are what the window shows and the next letter says.
        self.assertEqual(p.probe("contextmenu", "TfmMain", "Page").returncode, 0)
        time.sleep(1)
        p.key("Up", "Return")
        self.assertTrue(wait_for(lambda: p.showing("TfmButton"), timeout=20))
        edits = self.edits("TfmButton")  # the name, the comment, the service's, subject's and mailbox's own, the body
        self.assertEqual((edits[0], edits[5]), ("Page", "send %request%"))
        p.probe("settext", "TfmButton", "Edit", "0", "Text")
        p.probe("settext", "TfmButton", "Edit", "5", "send text %request%")
        self.assertEqual(p.probe("click", "TfmButton", "Save and close").returncode, 0)
        self.assertTrue(wait_for(lambda: p.probe("state", "TfmButton").returncode != 0, timeout=10))
        self.assertTrue(wait_for(lambda: p.probe("click", "TfmMain", "Text").returncode == 0, timeout=10))
        self.assertTrue(wait_for(lambda: len(self.second_server.received()) == 2, timeout=30))
        self.assertIn(b"send text http://example.com/first", self.second_server.contents()[1])
        self.assertIn(b"Name=Text\r\n", p.read("Buttons.ini"))
        p.screenshot("after-setup.png")


if __name__ == "__main__":
    main()
