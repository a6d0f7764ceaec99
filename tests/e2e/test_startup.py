"""Start, second start, close and exit of the running program under Wine."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import ProgramTest, clipboard, main, set_clipboard, visible_windows, wait_for  # noqa: E402

CLOSE_TIME_KEYS = ["On_top", "Top", "Left", "C1", "C2", "Auto", "AutoMode", "ViewMode", "Sticy", "Mon",
                   "AddClipToList", "Proxy", "Hide", "Tran", "RL2", "RL1", "Delay", "PopUps", "AutoDecodeURL",
                   "SwitchOff", "lang"]


def settings_section(data, name):
    """The (key, value) pairs of one section of an INI text, in file order."""
    pairs, current = [], None
    for line in data.decode("cp1251").split("\r\n"):
        if line.startswith("["):
            current = line.strip("[]")
        elif current == name and "=" in line:
            key, value = line.split("=", 1)
            pairs.append((key, value))
    return pairs


class StartAndExit(ProgramTest):
    def test_first_start_shows_the_main_window_and_exit_saves_the_state(self):
        p = self.program
        self.assertFalse(os.path.exists(p.path("settings.ini")))
        p.start()
        self.assertEqual(len(visible_windows()), 1)
        self.assertTrue(os.path.exists(p.path("recent.cfg")))
        texts = dict(p.texts())
        self.assertIn("msctls_statusbar32", texts)
        p.screenshot("main-window.png")
        self.assertEqual(p.exit_from_menu(), 0)
        pairs = settings_section(p.read("settings.ini"), "Settings")
        self.assertEqual([k for k, _ in pairs], CLOSE_TIME_KEYS)
        self.assertEqual(dict(pairs)["C1"], "1")
        self.assertTrue(p.read("settings.ini").endswith(b"\r\n\r\n"))

        p.start()
        self.assertEqual(p.exit_from_menu(), 0)
        self.assertEqual(dict(settings_section(p.read("settings.ini"), "Settings"))["C1"], "2")

    def test_exit_keeps_other_settings_and_counts_from_the_stored_value(self):
        p = self.program
        p.write("settings.ini", "; hand-written\r\n[settings]\r\nc1=41\r\nC2=$10\r\nbrowser=firefox\r\n"
                                "[Emails]\r\nDSP1=Выбор в меню\r\n")
        p.start()
        self.assertEqual(p.exit_from_menu(), 0)
        text = p.read("settings.ini")
        settings = dict(settings_section(text, "settings"))
        self.assertEqual(settings["C1"], "42")
        self.assertEqual(settings["C2"], "16")
        self.assertEqual(settings["browser"], "firefox")
        self.assertEqual(dict(settings_section(text, "Emails"))["DSP1"], "Выбор в меню")
        self.assertNotIn(b"hand-written", text)

    def test_a_settings_file_saved_as_unicode_keeps_every_entry_and_its_encoding(self):
        p = self.program
        user = "[Emails]\r\nEM1=почта@example.org\r\nDSP1=пароль\r\n[SMTP]\r\nSMTP1=smtp.example.org\r\nPass1=секрет\r\n"
        p.write("settings.ini", b"\xff\xfe" + user.encode("utf-16-le"))
        p.start()
        self.assertEqual(p.exit_from_menu(), 0)
        data = p.read("settings.ini")
        self.assertTrue(data.startswith(b"\xff\xfe"), data[:20])
        text = data[2:].decode("utf-16-le")
        for line in user.split("\r\n"):
            self.assertIn(line, text)
        self.assertEqual(dict(settings_section(text.encode("cp1251", "replace"), "Settings"))["C1"], "1")

    def test_argument_goes_into_the_request_line(self):
        p = self.program
        p.start("http://example.com/страница")
        self.assertEqual(p.request_line(), "http://example.com/страница")

    def test_close_box_with_close_to_tray_saves_nothing_and_keeps_running(self):
        p = self.program
        p.write("settings.ini", "[Settings]\r\nClose2Tray=1\r\nC1=5\r\n")
        p.start()
        before = p.read("settings.ini")  # as the activation left it
        p.probe("close", "TfmMain")
        # The close box only hides the window into the tray.
        self.assertTrue(wait_for(lambda: p.state() == "hidden", timeout=10), p.state())
        self.assertIsNone(p.process.poll())
        self.assertEqual(p.read("settings.ini"), before)
        self.assertIn(b"C1=5\r\n", before)
        p.process.kill()

    def test_close_box_without_close_to_tray_saves_and_ends(self):
        p = self.program
        p.start()
        p.probe("close", "TfmMain")
        self.assertEqual(p.wait_exit(), 0)
        self.assertEqual(dict(settings_section(p.read("settings.ini"), "Settings"))["C1"], "1")


class SecondStart(ProgramTest):
    def test_address_arguments_are_handed_over_through_the_clipboard(self):
        p = self.program
        p.start()
        for argument in ("see http://example.com/a b", "ftp://ftp.example.org/pub/file.zip"):
            started = time.monotonic()
            self.assertEqual(p.run_second(argument), 0)
            self.assertLess(time.monotonic() - started, 10)
            self.assertEqual(wait_for(lambda: clipboard() == argument, timeout=5), True, argument)
            self.assertEqual(len(visible_windows()), 1)

    def test_other_arguments_leave_the_clipboard_alone(self):
        p = self.program
        p.start()
        set_clipboard("before")
        for argument in ("just words", "HTTP://UPPER.CASE/", ""):
            self.assertEqual(p.run_second(argument) if argument else p.run_second(), 0)
            self.assertEqual(clipboard(), "before")
        self.assertEqual(len(visible_windows()), 1)


class DamagedFiles(ProgramTest):
    CASES = {
        "garbage": bytes((i * 131) % 256 for i in range(65536)),
        "huge line": b"[Settings]\r\nTop=" + b"9" * (10 << 20) + b"\r\nC1=3\r\n",
        "no sections": b"C1=100\r\nTop=50\r\n" * 1000,
        "invalid UTF-8 after a byte-order mark": b"\xef\xbb\xbf[Settings]\r\nC1=\xff\xfe\r\nlang=\xc3\r\n",
    }

    def test_damaged_settings_give_defaults_and_a_working_program(self):
        expected_c1 = {"garbage": "1", "huge line": "4", "no sections": "1",
                       "invalid UTF-8 after a byte-order mark": "1"}
        for name, data in self.CASES.items():
            with self.subTest(name):
                p = self.program
                p.write("settings.ini", data)
                p.start()
                self.assertEqual(p.exit_from_menu(), 0, name)
                text = p.read("settings.ini")
                encoding = "utf-8" if text.startswith(b"\xef\xbb\xbf") else "cp1251"
                section = text.decode(encoding, "replace").split("[Settings]")[1]
                self.assertIn("\r\nC1=%s\r\n" % expected_c1[name], section, name)

    def test_damaged_language_file_gives_a_working_program(self):
        p = self.program
        for data in self.CASES.values():
            p.write("English.lng", data)
            p.start()
            self.assertEqual(p.exit_from_menu(), 0)


class Languages(ProgramTest):
    def test_language_number_picks_the_file_and_a_missing_file_keeps_the_built_in_texts(self):
        p = self.program
        p.write("settings.ini", "[Settings]\r\nlang=0\r\n")
        p.start()
        labels = [text for cls, text in p.texts() if cls.lower() == "static"]
        self.assertIn("URL from browser", labels)
        p.exit_from_menu()

        if os.path.exists(p.path("Russian.lng")):
            os.remove(p.path("Russian.lng"))
        p.write("settings.ini", "[Settings]\r\nlang=1\r\n")
        p.start()
        labels = [text for cls, text in p.texts() if cls.lower() == "static"]
        self.assertIn("URL с броузера", labels)
        p.screenshot("main-window-russian.png")
        p.exit_from_menu()
        self.assertEqual(dict(settings_section(p.read("settings.ini"), "Settings"))["lang"], "1")

    def test_language_menu_translates_at_once_and_the_choice_is_saved(self):
        p = self.program
        p.write("settings.ini", "[Settings]\r\nlang=1\r\n")
        p.start()
        self.assertIn("Добавить в", [text for _, text in p.texts()])
        # "Вид" is the second main-menu entry; "Language" is its last entry, "EN" the first of that.
        p.key("F10", "Right", "Down", "Up", "Right")
        p.screenshot("language-menu.png")
        p.key("Return")
        labels = [text for cls, text in p.texts() if cls.lower() == "static"]
        self.assertIn("Add to", labels)
        p.exit_from_menu()
        self.assertEqual(dict(settings_section(p.read("settings.ini"), "Settings"))["lang"], "0")


if __name__ == "__main__":
    main()
