"""Addresses from the browser's context-menu page: "link.txt" written into the program
folder while the program runs reaches the request line."""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import ProgramTest, main, wait_for  # noqa: E402


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


if __name__ == "__main__":
    main()
