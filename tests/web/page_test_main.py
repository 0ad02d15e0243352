"""What every browser test script shares: its build folder from the command
line, the site in it, the browser driver (None where python3-websocket is
missing), a test case with the site served and a fresh browser for each
test, and a main that exits 77, CTest's "skipped", where the site or the
browser is missing.
"""
import os
import sys
import unittest

from site_server import Site

try:
    import browser
    WHY_NOT = ""
except ImportError as missing:  # python3-websocket: scripts/setup.sh --web
    browser = None
    WHY_NOT = str(missing)


def build_and_site():
    """The build folder (the first argument, taken off sys.argv so unittest
    does not see it) and its site folder."""
    build = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else "build"
    PageTest.site_folder = os.path.join(build, "web")
    return build, PageTest.site_folder


class PageTest(unittest.TestCase):
    """The site served for the whole class (self.site), every fault it can
    make cleared before each test, and a browser of its own for each test
    (self.page)."""
    site_folder = None

    @classmethod
    def setUpClass(cls):
        cls.site = Site(cls.site_folder)

    @classmethod
    def tearDownClass(cls):
        cls.site.close()

    def setUp(self):
        self.site.hidden.clear()
        self.site.gzip_encoding = False
        self.site.song_fault = None
        self.site.silent_worklet = False
        self.site.song_pause_s = 0
        self.page = browser.Browser(deadline=300)

    def tearDown(self):
        self.page.close()


def main(build, site):
    if not os.path.exists(os.path.join(site, "sorvanel.wasm")):
        print("no site in %s: cmake --build %s --target web" % (site, build))
        sys.exit(77)
    if browser is None or not os.access(browser.CHROMIUM, os.X_OK):
        print("no headless Chromium to drive (%s): scripts/setup.sh --web"
              % (WHY_NOT if browser is None else browser.CHROMIUM))
        sys.exit(77)
    unittest.main(verbosity=2)
