"""Request list 2: links imported from files through the open dialog, and the list kept in
list.txt from one run to the next."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import ProgramTest, main, visible_windows, wait_for  # noqa: E402

LIST = "TfmRequestList2"

BOOKMARKS = """<!DOCTYPE NETSCAPE-Bookmark-file-1>
<TITLE>Bookmarks</TITLE>
<DL><p>
    <DT><H3>Закладки</H3>
    <DL><p>
        <DT><A HREF="http://example.com/one" ADD_DATE="1700000000">Первая</A>
        <DT><A HREF="ftp://ftp.example.org/pub/file.zip">Архив</A>
    </DL><p>
    <DT><A HREF=http://example.com/unquoted target="_blank">Без кавычек</A>
</DL><p>
"""


class RequestList2(ProgramTest):
    def list_texts(self):
        out = self.program.probe("texts", LIST).stdout.decode("utf-8", "replace")
        return [tuple(line.split("\t", 1)) for line in out.splitlines() if "\t" in line]

    def list_lines(self):
        # The first edit control is the list; the probe shows its line breaks as spaces.
        return next((t for c, t in self.list_texts() if c.lower() == "edit"), "").split()

    def open_list(self):
        self.program.key("ctrl+l")
        # The window exists hidden from the start; it counts once it shows.
        self.assertTrue(wait_for(lambda: visible_windows("Лист запросов 2"), timeout=10), "the list window did not open")

    def close_list(self):
        # The click is posted: keys for the main window wait until the list has hidden, or its
        # hiding takes the activation from a menu they opened.
        self.program.probe("click", LIST, "&Выход")
        self.assertTrue(wait_for(lambda: not visible_windows("Лист запросов 2"), timeout=10), "the list window did not close")

    def import_file(self, name):
        """The import button, then the file's full path typed into the open dialog."""
        p = self.program
        before = self.list_lines()
        self.assertEqual(p.probe("click", LIST, "&Импорт/Загрузить").returncode, 0)
        self.assertTrue(wait_for(lambda: p.probe("texts", "#32770").returncode == 0, timeout=10), "no open dialog")
        # Typing goes to the file name box once the dialog has given it the focus.
        self.assertTrue(wait_for(lambda: p.focused("#32770").lower() in ("edit", "combobox"), timeout=10), p.focused("#32770"))
        subprocess.run(["xdotool", "type", "--delay", "20", "Z:" + p.path(name).replace("/", "\\")], timeout=60)
        subprocess.run(["xdotool", "key", "Return"], timeout=10)
        self.assertTrue(wait_for(lambda: self.list_lines() != before, timeout=10), self.list_lines())

    def test_links_come_from_a_bookmark_page_and_from_a_line_holding_two_addresses(self):
        p = self.program
        p.write("settings.ini", "[Settings]\r\nlang=1\r\n")
        p.write("bookmarks.html", BOOKMARKS.encode("utf-8"))
        p.write("mirrors.txt", "get ftp://ftp.example.org/pub/a.zip or http://example.com/b.zip\r\nno address\r\n")
        p.start()
        self.open_list()
        self.import_file("bookmarks.html")
        self.assertEqual(self.list_lines(), ["http://example.com/one", "ftp://ftp.example.org/pub/file.zip", "http://example.com/unquoted"])
        # The last imported link is in the request line, ready to go.
        self.assertEqual(p.request_line(), "http://example.com/unquoted")
        p.screenshot("request-list-2.png")
        # On a line with both, the web address wins; imports add to what is there.
        self.import_file("mirrors.txt")
        self.assertEqual(self.list_lines()[3:], ["http://example.com/b.zip"])
        self.assertEqual(p.request_line(), "http://example.com/b.zip")

    def test_the_list_is_kept_in_list_txt_from_one_run_to_the_next(self):
        p = self.program
        p.write("settings.ini", "[Settings]\r\nlang=1\r\n")
        p.start()
        self.open_list()
        p.probe("settext", LIST, "Edit", "0", "http://example.com/kept\\nftp://ftp.example.org/kept.zip")
        p.probe("click", LIST, "Автосохранение/Автозагрузка листа")
        self.close_list()
        self.assertTrue(wait_for(lambda: os.path.exists(p.path("list.txt")), timeout=10))
        self.assertEqual(p.exit_from_menu(), 0)
        self.assertEqual(p.read("list.txt"), b"http://example.com/kept\r\nftp://ftp.example.org/kept.zip\r\n")
        self.assertIn(b"Autoloadlist=1", p.read("settings.ini"))

        p.start()
        self.open_list()
        self.assertTrue(wait_for(lambda: self.list_lines() == ["http://example.com/kept", "ftp://ftp.example.org/kept.zip"], timeout=10),
                        self.list_lines())
        self.close_list()
        self.assertEqual(p.exit_from_menu(), 0)


if __name__ == "__main__":
    main()
