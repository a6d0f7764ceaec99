#!/usr/bin/python3
"""Screenshots for a person to judge: the program inside Wine's virtual desktop with its shell,
so that frames, the taskbar and the tray icon show. Run through tools/shell_shots.sh.

Writes into the folder given (default build/shots): the main window in the full view and in
each of the six view modes, the mini window, a popup report after a letter and the about box.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from harness import LetterServer, wait_for  # noqa: E402

WINE = "/usr/lib/wine/wine64"
APP = os.path.join(ROOT, "build", "win64", "app")
SHOTS = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "shots")  # then "options" for the dialog's pages
WIDTH, HEIGHT = 1024, 768
MODES = ["full", "simple", "original", "special", "no-search", "no-list", "minimal"]


def desktop_window():
    out = subprocess.run(["xdotool", "search", "--name", "Wine desktop"], capture_output=True, text=True).stdout.split()
    return out[0] if out else None


def key(*keys):
    # To the window with the focus: the desktop passes the keys on to the program's.
    subprocess.run(["xdotool", "key", "--delay", "80", *keys], timeout=10)


def shot(name):
    target = os.path.join(SHOTS, name)
    subprocess.run(["import", "-window", "root", "-crop", "%dx%d+0+0" % (WIDTH, HEIGHT), target], timeout=30)
    print(target)


class Session:
    """One start of the program in the shell desktop, from a fresh copy of the program folder
    with its shipped buttons and bookmarks."""

    def __init__(self, settings, *args, language=1, first_start=False):
        self.folder = tempfile.mkdtemp(prefix="qp-shots-")
        shutil.copytree(APP, self.folder, dirs_exist_ok=True)
        for stale in ("settings.ini", "list.txt", "history.log", "log.txt"):
            if os.path.exists(os.path.join(self.folder, stale)):
                os.remove(os.path.join(self.folder, stale))
        with open(os.path.join(self.folder, "settings.ini"), "wb") as f:
            # A start counter past the first start, or the first-run wizard comes first.
            counter = "" if first_start else "C1=5\r\n"
            f.write(("[Settings]\r\nlang=%d\r\nTop=40\r\nLeft=60\r\n" % language + counter + settings).encode("cp1251"))
        self.process = subprocess.Popen([WINE, "explorer", "/desktop=shell,%dx%d" % (WIDTH, HEIGHT), "quillpost.exe", *args],
                                        cwd=self.folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(desktop_window, timeout=30)
        time.sleep(4)  # the window, its first activation and the tray icon

    def close(self):
        subprocess.run([WINE, "cmd", "/c", "taskkill", "/f", "/im", "quillpost.exe"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["/usr/lib/wine/wineserver", "-k"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["/usr/lib/wine/wineserver", "-w"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


PAGES = ["send", "mailboxes", "servers", "settings", "expert", "the-bat"]


def options_pages(language):
    """Every page of the options dialog, opened by F2 and stepped through by Ctrl+Tab."""
    s = Session("", language=language)
    key("F2")
    time.sleep(2)
    for number, page in enumerate(PAGES):
        shot("options-%d-%s-%s.png" % (number + 1, page, "en" if language == 0 else "ru"))
        key("ctrl+Tab")
        time.sleep(1.5)
    s.close()


WIZARD_PAGES = ["welcome", "licence", "settings", "ready"]


def wizard_pages(language):
    """The first-run wizard at a first start, its pages stepped through by Enter."""
    s = Session("", language=language, first_start=True)
    for number, page in enumerate(WIZARD_PAGES):
        shot("wizard-%d-%s-%s.png" % (number + 1, page, "en" if language == 0 else "ru"))
        key("Return")
        time.sleep(1.5)
    s.close()


def button_editor(language):
    """The button editor, opened from the first button's own menu (Shift+F10 on it)."""
    s = Session("", language=language)
    key("Tab", "shift+F10", "Up", "Return")
    time.sleep(2)
    shot("button-editor-%s.png" % ("en" if language == 0 else "ru"))
    s.close()


def main():
    os.makedirs(SHOTS, exist_ok=True)
    if "editor" in sys.argv[2:]:
        for language in (1, 0):
            button_editor(language)
        return
    if "wizard" in sys.argv[2:]:
        for language in (1, 0):
            wizard_pages(language)
        return
    if "options" in sys.argv[2:]:
        for language in (1, 0):
            options_pages(language)
        return
    for number, name in enumerate(MODES):
        s = Session("ViewMode=%d\r\n" % number)
        shot("main-%d-%s.png" % (number, name))
        if number == 0:
            # Help (left of the first menu lies the window menu), then its last entry: the about box.
            key("F10", "Left", "Left", "Down", "Up", "Return")
            time.sleep(2)
            shot("about-box.png")
            key("Escape")
            time.sleep(1)
            key("ctrl+m")
            time.sleep(2)
            shot("mini-window.png")
        s.close()

    server = LetterServer()
    try:
        s = Session("PopUps=1\r\n" + server.settings(), "http://example.com/a-page-reported-in-a-popup")
        key("Return")  # the request line sends with the automatic-mode button
        wait_for(lambda: server.received(), timeout=30)
        time.sleep(1.5)
        shot("popup-report.png")
        s.close()
    finally:
        server.stop()


if __name__ == "__main__":
    main()
