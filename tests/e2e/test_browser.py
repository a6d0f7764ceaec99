"""Addresses from the browser's context-menu page: "link.txt" written into the program
folder while the program runs reaches the request line."""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import OPTIONS, WINE, ProgramTest, main, wait_for  # noqa: E402


class LinkFile(ProgramTest):

    def test_a_link_file_fills_the_request_line_within_two_seconds(self):
        p = self.program
        p.start()
        written = time.monotonic()
        p.write("link.txt", "http://example.com/from-the-page\r\nhttp://example.com/second\r\n")
        self.assertTrue(wait_for(lambda: p.request_line() == "http://example.com/from-the-page", timeout=10, interval=0.05),
                        p.request_line())
        taken = time.monotonic() - written
        print("link.txt reached the request line after %.2f s" % taken, file=sys.stderr)
        # One look a second, then the window's thread: two seconds at the most.
        self.assertLess(taken, 2.5)
        self.assertTrue(wait_for(lambda: not os.path.exists(p.path("link.txt")), timeout=5))



class DdeGrab(ProgramTest):
    """"URL с броузера" asks a stand-in browser registered under the DDE service "firefox"."""

    def setUp(self):
        super().setUp()
        self.browser = None
        self.program.write("settings.ini", "[Settings]\r\nlang=1\r\nbrowser=firefox\r\n")

    def tearDown(self):
        if self.browser:
            self.browser.kill()
            self.browser.wait()
        super().tearDown()

    def start_browser(self, reply):
        """The stand-in, once its service is registered."""
        stand_in = os.path.join(os.path.dirname(OPTIONS.probe), "dde_browser.exe")
        ready = self.program.path("dde-ready")
        self.browser = subprocess.Popen([WINE, stand_in, "firefox", reply, "Z:" + ready.replace("/", "\\")],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.assertTrue(wait_for(lambda: os.path.exists(ready), timeout=30), "the stand-in browser did not register")

    def list1(self):
        edits = [text for cls, text in self.program.texts() if cls == "Edit"]
        return edits[1] if len(edits) > 1 else None

    def test_the_browsers_page_reaches_the_request_line_and_list_one(self):
        self.start_browser("http://example.com/from-the-browser")
        p = self.program
        p.start()
        p.probe("click", "TfmMain", "URL с броузера")
        self.assertTrue(wait_for(lambda: p.request_line() == "http://example.com/from-the-browser", timeout=15), p.request_line())
        self.assertIn("http://example.com/from-the-browser", self.list1())

    def test_a_browser_that_never_answers_leaves_the_window_working_and_the_program_can_end(self):
        self.start_browser("--silent")
        p = self.program
        p.start("http://example.com/before")
        p.probe("click", "TfmMain", "URL с броузера")
        # While the grab waits, the window answers its messages.
        started = time.monotonic()
        self.assertEqual(p.request_line(), "http://example.com/before")
        self.assertLess(time.monotonic() - started, 3)
        p.probe("close", "TfmMain")
        self.assertTrue(wait_for(lambda: p.process.poll() is not None, timeout=15), "the program is still running")



class Bookmarks(ProgramTest):
    """The bookmark tree's file and its search templates in the running program."""

    TREE = ("\ufeffЗакладки\r\n\tНовости\r\n\t\tCNN\r\n\t\t\t@https://lite.cnn.com/\r\n\t\t\t@\r\n"
            "Поиск\r\n\tЯндекс\r\n\t\t@https://yandex.ru/search/?text=\r\n\t\t@&lr=213\r\n\tDuckDuckGo\r\n"
            "\t\t@https://html.duckduckgo.com/html/?q=\r\n\t\t@\r\n").encode("utf-8")

    def test_the_file_survives_a_start_and_an_exit_byte_for_byte(self):
        p = self.program
        p.write("search.qpt", self.TREE)
        p.start()
        p.probe("close", "TfmMain")
        self.assertTrue(wait_for(lambda: p.process.poll() is not None, timeout=20))
        self.assertEqual(p.read("search.qpt"), self.TREE)

    def test_a_search_template_gives_the_search_buttons_its_name(self):
        p = self.program
        p.write("search.qpt", self.TREE)
        p.start()
        self.assertEqual(p.probe("treeselect", "TfmMain", "1").returncode, 0)
        self.assertEqual(p.probe("treeselect", "TfmMain", "1", "0").returncode, 0)
        buttons = lambda: [text for cls, text in p.texts() if cls.lower() == "button"]
        self.assertTrue(wait_for(lambda: "Яндекс 1" in buttons() and "Яндекс 2" in buttons(), timeout=10), buttons())
        p.screenshot("search-template-selected.png")

    def point_of(self, *path):
        """The middle of a tree node on the screen, once it is shown."""
        out = wait_for(lambda: self.program.probe("itempoint", "TfmMain", *path).stdout.decode().split(), timeout=10)
        self.assertTrue(out, f"node {path} is not shown")
        return out

    def test_the_plus_label_makes_a_bookmark_through_the_constructor(self):
        p = self.program
        p.write("search.qpt", self.TREE)
        p.start()
        self.assertEqual(p.probe("settext", "TfmMain", "ComboBox", "0", "http://new.example/page").returncode, 0)
        self.assertEqual(p.probe("click", "TfmMain", "+").returncode, 0)
        self.assertTrue(wait_for(lambda: p.state("TfmSearchConstructor") == "visible", timeout=10))
        p.screenshot("search-constructor.png")  # in English: no language is set

        self.assertEqual(p.probe("click", "TfmSearchConstructor", "Create").returncode, 0)
        self.assertTrue(wait_for(lambda: p.state("TfmSearchConstructor") == "hidden", timeout=10))
        p.probe("close", "TfmMain")
        self.assertTrue(wait_for(lambda: p.process.poll() is not None, timeout=20))
        self.assertIn("\t\t\t@\r\n\thttp://new.example/page\r\n\t\t@http://new.example/page\r\n\t\t@\r\nПоиск\r\n",
                      p.read("search.qpt").decode("utf-8-sig"))

    def test_a_node_dragged_with_the_mouse_moves_and_the_right_click_opens_the_menu(self):
        p = self.program
        p.write("search.qpt", self.TREE)
        p.start()
        self.assertEqual(p.probe("treeselect", "TfmMain", "0").returncode, 0)
        source, target = self.point_of("1"), self.point_of("0", "0")
        xdotool = lambda *args: subprocess.run(["xdotool", *args], timeout=10)
        xdotool("mousemove", "--sync", *source)
        xdotool("mousedown", "1")
        for step in range(1, 6):  # far enough for the tree to start a drag, then onto "Новости"
            x = int(source[0]) + (int(target[0]) - int(source[0])) * step // 5
            y = int(source[1]) + (int(target[1]) - int(source[1])) * step // 5
            xdotool("mousemove", "--sync", str(x), str(y))
            time.sleep(0.1)
        xdotool("mouseup", "1")
        node = self.point_of("0", "0", "1")  # "Поиск" is the last child of "Новости" now
        xdotool("mousemove", "--sync", *node)
        xdotool("click", "3")
        time.sleep(1)
        p.screenshot("bookmark-tree-menu.png")
        xdotool("key", "Escape")
        p.probe("close", "TfmMain")
        self.assertTrue(wait_for(lambda: p.process.poll() is not None, timeout=20))
        self.assertEqual(p.read("search.qpt").decode("utf-8-sig"),
                         "Закладки\r\n\tНовости\r\n\t\tCNN\r\n\t\t\t@https://lite.cnn.com/\r\n\t\t\t@\r\n\t\tПоиск\r\n"
                         "\t\t\tЯндекс\r\n\t\t\t\t@https://yandex.ru/search/?text=\r\n\t\t\t\t@&lr=213\r\n\t\t\tDuckDuckGo\r\n"
                         "\t\t\t\t@https://html.duckduckgo.com/html/?q=\r\n\t\t\t\t@\r\n")


if __name__ == "__main__":
    main()
