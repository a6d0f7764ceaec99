"""Request buttons from "Buttons.ini" and the mailbox menus in the running program."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import ProgramTest, main, visible_windows, wait_for  # noqa: E402


def button_names(data):
    """Name of each "Button N" section of an INI text."""
    names, current = {}, None
    for line in data.decode("utf-8-sig").split("\r\n"):
        line = line.strip()
        if line.startswith("[Button "):
            current = int(line[8:-1])
        elif line.startswith("["):
            current = None
        elif current and line.lower().startswith("name="):
            names[current] = line[5:]
    return names


class RequestButtons(ProgramTest):
    def buttons(self):
        return [text for cls, text in self.program.texts() if cls.lower() == "button"]

    def test_shipped_buttons_show_their_names_and_follow_an_edit_at_the_next_activation(self):
        p = self.program
        names = button_names(p.read("Buttons.ini"))
        self.assertEqual(sorted(names), list(range(1, 23)))
        p.start()
        shown = self.buttons()
        for n in range(1, 21):
            self.assertIn(names[n], shown)
        p.screenshot("request-buttons.png")

        text = p.read("Buttons.ini").decode("utf-8-sig").replace("Name=%s\r\n" % names[3], "Name=Новая\r\n", 1)
        p.write("Buttons.ini", b"\xef\xbb\xbf" + text.encode("utf-8"))
        p.probe("away")
        window = visible_windows()[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", window], timeout=10)
        self.assertTrue(wait_for(lambda: "Новая" in self.buttons(), timeout=10))
        self.assertNotIn(names[3], self.buttons())

    def test_mailbox_shortcut_selects_the_profile_and_writes_it_at_once(self):
        p = self.program
        p.write("settings.ini", "[Emails]\r\nEM1=one@example.org\r\nEM5=five@example.org\r\n")
        p.start()
        self.assertIn(b"Active=1\r\n", p.read("settings.ini"))
        p.key("ctrl+F5")
        self.assertTrue(wait_for(lambda: b"Active=5\r\n" in p.read("settings.ini"), timeout=5))
        p.screenshot("mailbox-five.png")


if __name__ == "__main__":
    main()
