"""Addresses copied anywhere on the desktop reach the request line; in automatic mode the
letter goes out at once."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import LetterServer, ProgramTest, main, set_clipboard, wait_for  # noqa: E402


class ClipboardMonitor(ProgramTest):
    def line(self):
        return next((text for cls, text in self.program.texts() if cls.lower() == "combobox"), None)

    def test_a_copied_address_is_cut_out_into_the_request_line(self):
        p = self.program
        p.write("settings.ini", "[Settings]\r\nMon=1\r\n")
        p.start()
        set_clipboard("see http://example.com/a b")
        self.assertTrue(wait_for(lambda: self.line() == "http://example.com/a", timeout=10), self.line())
        set_clipboard("no address here")
        self.assertEqual(self.line(), "http://example.com/a")

    def test_a_second_start_hands_its_address_to_the_running_copy(self):
        p = self.program
        p.write("settings.ini", "[Settings]\r\nMon=1\r\n")
        p.start()
        self.assertEqual(p.run_second("http://second.example/x"), 0)
        self.assertTrue(wait_for(lambda: self.line() == "http://second.example/x", timeout=10), self.line())

    def test_with_the_monitor_off_nothing_is_taken(self):
        p = self.program
        p.start()
        set_clipboard("http://example.com/off")
        self.assertFalse(wait_for(lambda: self.line() == "http://example.com/off", timeout=2))


class AutomaticMode(ProgramTest):
    def setUp(self):
        super().setUp()
        # Each letter takes a second: a second copy arrives while the first letter goes out.
        self.server = LetterServer("--data-delay", "1")
        self.program.write("settings.ini", "[Settings]\r\nMon=1\r\nAutoMode=1\r\nAuto=1\r\n" + self.server.settings())

    def tearDown(self):
        self.server.stop()
        super().tearDown()

    def test_a_copied_address_is_sent_at_once(self):
        p = self.program
        p.start()
        set_clipboard("look at http://auto.example/page please")
        self.assertTrue(wait_for(lambda: len(self.server.received()) == 1, timeout=30))
        self.assertIn(b"http://auto.example/page", self.server.contents()[0])
        set_clipboard("http://auto.example/second")
        # Taken in (its letter is going out now, for a second) before the next copy comes.
        self.assertTrue(wait_for(lambda: self.program.request_line() == "http://auto.example/second", timeout=10))
        set_clipboard("http://auto.example/third")
        self.assertTrue(wait_for(lambda: len(self.server.received()) == 3, timeout=30), len(self.server.received()))
        self.assertIn(b"http://auto.example/second", self.server.contents()[1])
        self.assertIn(b"http://auto.example/third", self.server.contents()[2])

if __name__ == "__main__":
    main()
