"""Typing an address and pressing a request button delivers a letter to a real SMTP
server (aiosmtpd on loopback), logs it and reports it on the status line."""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import TESTS, LetterServer, ProgramTest, main, visible_windows, wait_for  # noqa: E402


def read_letter(path):
    out = subprocess.run(["/usr/bin/python3", os.path.join(TESTS, "read_letter.py"), path],
                         capture_output=True, text=True, timeout=30).stdout
    return {name: bytes.fromhex(value).decode("utf-8") for name, value in
            (line.split(" ", 1) if " " in line else (line, "") for line in out.splitlines())}


class ServerTest(ProgramTest):
    """The program set up to send through a test server of its own."""
    SERVER_FLAGS = []
    SETTINGS = ""

    def setUp(self):
        super().setUp()
        self.server = LetterServer(*self.SERVER_FLAGS)
        self.program.write("settings.ini", "[Settings]\r\nlang=1\r\n%s%s" % (self.SETTINGS, self.server.settings()))
        self.program.write("Buttons.ini", "[Button 1]\r\nName=Страница\r\nService=www4mail@example.net\r\n"
                                          "Subject=%request%\r\n[body 1]\r\nCount=0\r\n0=send %request%\r\n")

    def tearDown(self):
        self.server.stop()
        super().tearDown()

    def received(self):
        return self.server.received()

    def status(self):
        return next((text for cls, text in self.program.texts() if cls == "msctls_statusbar32"), "")


class Dispatch(ServerTest):

    def test_a_request_reaches_the_server_is_logged_and_reported(self):
        p = self.program
        p.start("http://example.com/страница")
        self.assertEqual(p.probe("click", "TfmMain", "Страница").returncode, 0)
        self.assertTrue(wait_for(lambda: len(self.received()) == 1, timeout=30))
        letter = read_letter(self.received()[0])
        self.assertEqual(letter["subject"], "http://example.com/страница")
        self.assertEqual(letter["body"].rstrip("\r\n"), "send http://example.com/страница")
        self.assertEqual(letter["from"], "user@example.org")
        self.assertEqual(letter["x-mailer"], "Quillpost")
        self.assertTrue(wait_for(lambda: self.status() == "Операция успешно завершена!", timeout=10), self.status())
        history = p.read("history.log").decode("cp1251")
        self.assertIn('"http://example.com/страница"', history)
        self.assertIn('"www4mail@example.net";"Страница";"user@example.org"', history)
        p.screenshot("after-sending.png")

    def test_an_empty_request_line_sends_nothing(self):
        p = self.program
        p.start()
        p.probe("click", "TfmMain", "Страница")
        self.assertTrue(wait_for(lambda: self.status() == "Пустой запрос!", timeout=10), self.status())
        self.assertEqual(self.received(), [])
        self.assertFalse(os.path.exists(p.path("history.log")))

    def test_request_list_one_sends_a_letter_per_entry_last_first(self):
        p = self.program
        p.write("settings.ini", p.read("settings.ini").decode("cp1251").replace("lang=1", "lang=1\r\nRL1=1"))
        p.start()
        # The request list is the second edit control: the request line's comes first.
        self.assertEqual(p.probe("settext", "TfmMain", "Edit", "1", "http://a.example/\\nhttp://b.example/\\nhttp://c.example/").returncode, 0)
        p.probe("click", "TfmMain", "Страница")
        self.assertTrue(wait_for(lambda: len(self.received()) == 3, timeout=30))
        subjects = [read_letter(path)["subject"] for path in self.received()]
        self.assertEqual(subjects, ["http://c.example/", "http://b.example/", "http://a.example/"])

    def test_request_list_two_is_sent_when_its_switch_is_on(self):
        p = self.program
        p.write("settings.ini", p.read("settings.ini").decode("cp1251").replace("lang=1", "lang=1\r\nRL2=1"))
        p.start()
        self.assertEqual(p.probe("settext", "TfmRequestList2", "Edit", "0", "http://x.example/\\nhttp://y.example/").returncode, 0)
        p.probe("click", "TfmMain", "Страница")
        self.assertTrue(wait_for(lambda: len(self.received()) == 2, timeout=30))
        self.assertEqual([read_letter(path)["subject"] for path in self.received()], ["http://y.example/", "http://x.example/"])


class SilentServer(ServerTest):
    SERVER_FLAGS = ["--silent"]

    def test_the_window_stays_responsive_and_cancel_ends_the_wait(self):
        p = self.program
        p.start("http://example.com/")
        p.probe("click", "TfmMain", "Страница")
        self.assertTrue(wait_for(lambda: self.status() not in ("", "Author: Quillpost developers"), timeout=10))
        started = time.monotonic()
        self.assertTrue(p.texts())  # the window answers while the server says nothing
        self.assertLess(time.monotonic() - started, 5)
        p.probe("click", "TfmMain", "X")
        self.assertTrue(wait_for(lambda: self.status() == "Отправка запроса была отменена.", timeout=10), self.status())
        self.assertEqual(self.received(), [])
        self.assertIn("http://example.com/", p.read("history.log").decode("cp1251"))


class KeptConnection(ServerTest):
    SERVER_FLAGS = ["--close-after", "1"]
    SETTINGS = "DontDisconnect=1\r\n"

    def test_a_connection_the_server_closed_between_two_dispatches_is_replaced_silently(self):
        p = self.program
        p.start("http://example.com/one")
        p.probe("click", "TfmMain", "Страница")
        self.assertTrue(wait_for(lambda: len(self.received()) == 1, timeout=30))
        self.assertTrue(wait_for(lambda: self.server.closed_connections() == 1, timeout=10))
        p.probe("settext", "TfmMain", "Edit", "0", "http://example.com/two")
        p.probe("click", "TfmMain", "Страница")
        self.assertTrue(wait_for(lambda: len(self.received()) == 2, timeout=30))
        self.assertTrue(wait_for(lambda: self.status() == "Операция успешно завершена!", timeout=10), self.status())


class ExitInTheMiddleOfAnExchange(ServerTest):
    """The server holds each letter's answer for a while: the exit comes while the program
    waits for it, inside the exchange."""
    SERVER_FLAGS = ["--data-delay", "5"]

    def test_the_run_stops_the_program_saves_and_ends(self):
        p = self.program
        p.start("http://example.com/one")
        p.probe("click", "TfmMain", "Страница")
        self.assertTrue(wait_for(lambda: self.server.receiving() == 1, timeout=30))
        p.probe("close", "TfmMain")
        self.assertEqual(p.wait_exit(timeout=15), 0)
        self.assertIn(b"\r\nC1=1\r\n", p.read("settings.ini"))
        self.assertEqual(len(visible_windows()), 0)


class ExitWhileASilentServerIsAwaited(ServerTest):
    SERVER_FLAGS = ["--silent"]

    def test_the_wait_ends_and_so_does_the_program(self):
        p = self.program
        p.start("http://example.com/")
        p.probe("click", "TfmMain", "Страница")
        self.assertTrue(wait_for(lambda: self.status() not in ("", "Author: Quillpost developers"), timeout=10))
        p.key("F10", "Down", "Up", "Return")  # the exit entry of the menu
        self.assertEqual(p.wait_exit(timeout=15), 0)
        self.assertIn(b"\r\nC1=1\r\n", p.read("settings.ini"))


class ExitDuringThePauseBetweenListLetters(ServerTest):
    SETTINGS = "RL2=1\r\nDelay=1\r\nRLDelay=30\r\n"

    def test_the_rest_of_the_list_is_not_sent_and_a_new_start_gets_its_window(self):
        p = self.program
        p.start()
        p.probe("settext", "TfmRequestList2", "Edit", "0", "http://x.example/\\nhttp://y.example/\\nhttp://z.example/")
        p.probe("click", "TfmMain", "Страница")
        self.assertTrue(wait_for(lambda: len(self.received()) == 1, timeout=30))
        p.probe("close", "TfmMain")
        self.assertEqual(p.wait_exit(timeout=15), 0)
        self.assertEqual(len(self.received()), 1)
        # The single-copy marker went with the program: the next start is a copy of its own.
        p.start()
        self.assertEqual(len(visible_windows()), 1)


class EndOfSessionDuringAList(ServerTest):
    SETTINGS = "RL2=1\r\nDelay=1\r\nRLDelay=30\r\n"

    def test_a_logoff_between_list_letters_stops_the_run_and_ends_the_program(self):
        p = self.program
        p.start()
        saved = p.read("settings.ini")
        p.probe("settext", "TfmRequestList2", "Edit", "0", "http://x.example/\\nhttp://y.example/\\nhttp://z.example/")
        p.probe("click", "TfmMain", "Страница")
        self.assertTrue(wait_for(lambda: len(self.received()) == 1, timeout=30))
        self.assertEqual(p.probe("endsession", "TfmMain").stdout.strip(), b"agreed")
        self.assertEqual(p.wait_exit(timeout=15), 0)
        self.assertEqual(len(self.received()), 1)
        self.assertEqual(p.read("settings.ini"), saved)  # the session's end saves nothing


class NoServer(ServerTest):
    def test_a_refused_connection_reports_the_error_and_keeps_the_history_line(self):
        self.server.process.kill()
        self.server.process.wait()
        p = self.program
        p.start("http://example.com/")
        p.probe("click", "TfmMain", "Страница")
        self.assertTrue(wait_for(lambda: self.status() == "При отправке запроса произошла ошибка.", timeout=30),
                        self.status())
        self.assertIn("http://example.com/", p.read("history.log").decode("cp1251"))


class MiniWindow(ServerTest):
    """Ctrl+M puts the mini window in the main window's place; its send delivers a letter."""

    def test_ctrl_m_shows_the_mini_window_at_the_corner_and_its_send_delivers(self):
        p = self.program
        p.start()
        p.key("ctrl+m")
        self.assertTrue(wait_for(lambda: p.state("TfmMiniQPT") == "visible", timeout=10))
        self.assertEqual(p.state(), "hidden")
        self.assertEqual(p.probe("settext", "TfmMiniQPT", "ComboBox", "0", "http://example.com/mini").returncode, 0)
        p.screenshot("mini-window.png")
        # The send button carries the automatic-mode button's name.
        self.assertEqual(p.probe("click", "TfmMiniQPT", "Страница").returncode, 0)
        self.assertTrue(wait_for(lambda: len(self.received()) == 1, timeout=30))
        self.assertEqual(read_letter(self.received()[0])["subject"], "http://example.com/mini")
        self.assertEqual(p.state(), "hidden")  # the main window stays in the tray
        self.assertEqual(p.probe("click", "TfmMiniQPT", "X").returncode, 0)
        self.assertTrue(wait_for(lambda: p.state() == "visible", timeout=10))


class PopupReport(ServerTest):
    """With "Всплывающий отчет ;)" ticked, a letter is reported in a popup beside the taskbar that
    leaves the focus where it was; a right click on it closes it."""
    SETTINGS = "PopUps=1\r\n"

    def test_a_letter_is_reported_at_the_bottom_right_and_a_click_closes_the_report(self):
        p = self.program
        p.start("http://example.com/popup")
        self.assertEqual(p.probe("click", "TfmMain", "Страница").returncode, 0)
        self.assertTrue(wait_for(lambda: len(self.received()) == 1, timeout=30))
        def height():
            place = p.rect("TfrmMSNPopUp")
            return place[3] - place[1] if place else 0
        self.assertTrue(wait_for(lambda: height() == 40, timeout=10), p.rect("TfrmMSNPopUp"))  # slid in
        left, top, right, bottom, _, _, work_right, work_bottom, activation = p.rect("TfrmMSNPopUp")
        self.assertEqual((right - left, bottom - top), (400, 40))
        self.assertEqual((work_right - right, work_bottom - bottom), (16, 2))
        self.assertEqual(activation, "noactivate")
        p.screenshot("popup-report.png")
        subprocess.run(["xdotool", "mousemove", "--sync", str(left + 30), str(top + 8)], timeout=10)
        subprocess.run(["xdotool", "click", "3"], timeout=10)
        self.assertTrue(wait_for(lambda: p.state("TfrmMSNPopUp") == "", timeout=10))


if __name__ == "__main__":
    main()
