#!/usr/bin/python3
"""The page as people use it, in headless Chromium: on a phone (390x844,
pixel ratio 3, touch) the form fits and every control can be hit by a
finger, the show starts, pauses, seeks on its seek bar and by event, and is
left, all by touch, with the picture 4:3 inside the screen; on a desktop the
drawing buffer follows the window as it changes and keeps the picture 4:3;
Enter starts the show and the address never restarts it part-way; each
malformed address gets its message; a server that inflates the .gz files
itself is served; a page opened as a file says how to serve it.

    web_viewing_test.py BUILD_FOLDER        (exit 77: no site built, skipped)
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from page_test_main import PageTest, browser, build_and_site, main  # noqa: E402
import png_pictures  # noqa: E402

BUILD, SITE = build_and_site()
SHOW_END_S = 1560
# Figure A: its sky reaches every edge of the 4:3 picture, so the picture's
# bounds can be read off a screenshot.
FULL_PICTURE_S = 30

TIME = "ccall('sorvanelPlayerTimeMs', 'number', [], [])"
PAUSED = "ccall('sorvanelPlayerPaused', 'number', [], []) === 1"


def picture_bounds(png):
    """The lit picture's left, right, top and bottom in a screenshot, read
    along its middle row and column (the bars around it are black)."""
    width, height, pixels = png_pictures.read_png(png)

    def lit(x, y):
        i = (y * width + x) * 3
        return max(pixels[i:i + 3]) > 24

    row, column = height // 2, width // 2
    xs = [x for x in range(width) if lit(x, row)]
    ys = [y for y in range(height) if lit(column, y)]
    if not xs or not ys:
        raise AssertionError("no picture in the screenshot")
    return xs[0], xs[-1] + 1, ys[0], ys[-1] + 1, width, height


class WebViewing(PageTest):
    def open_form(self, query):
        self.page.open(self.site.base + "index.html" + query, r".")
        self.page.wait_until("document.getElementById('dialog').hidden === false")

    def wait_running(self):
        self.page.wait_until("Module.calledRun && %s > 0" % TIME)

    def show_bar(self):
        """A tap on the picture where the bar is hidden; then it shows."""
        if self.page.evaluate("document.getElementById('player').hidden"):
            self.page.tap(195, 300)
        self.page.wait_until("!document.getElementById('player').hidden", 60)

    def assertPictureIsFourByThree(self, screen_width, screen_height):
        left, right, top, bottom, width, height = picture_bounds(self.page.screenshot())
        aspect = (right - left) / (bottom - top)
        print("picture %dx%d at (%d, %d) of a %dx%d screenshot: %.4f"
              % (right - left, bottom - top, left, top, width, height, aspect))
        self.assertAlmostEqual(aspect, 4 / 3, delta=0.02)
        # Inside the screen, touching two opposite sides of it, centred.
        self.assertTrue(left >= 0 and top >= 0 and right <= width and bottom <= height)
        self.assertTrue(right - left >= width - 2 or bottom - top >= height - 2)
        self.assertLessEqual(abs(left - (width - right)), 2)
        self.assertLessEqual(abs(top - (height - bottom)), 2)
        self.assertEqual((width, height), (screen_width, screen_height))

    def test_a_phone_starts_pauses_seeks_and_leaves_the_show_by_touch(self):
        page = self.page
        page.emulate_phone(390, 844, 3)
        self.open_form("?nosound&start=%d" % FULL_PICTURE_S)
        page.tap(*page.center_of(".viewing summary"))
        page.wait_until("document.querySelector('.viewing').open")
        # Every control of the form inside the viewport, and big enough for a finger.
        boxes = page.evaluate("""[...document.querySelectorAll(
            '#dialog select, #dialog input, #dialog button, #dialog summary')].map((e) => {
              const r = (e.closest('label') || e).getBoundingClientRect();
              return [e.id || e.tagName, r.left, r.top, r.right, r.bottom]; })""")
        self.assertEqual(len(boxes), 10, boxes)
        for name, left, top, right, bottom in boxes:
            self.assertTrue(left >= 0 and top >= 0 and right <= 390 and bottom <= 844,
                            "%s at %s" % (name, (left, top, right, bottom)))
            self.assertGreaterEqual(bottom - top, 40, name)
        self.assertLessEqual(page.evaluate("document.documentElement.scrollWidth"), 390)

        page.tap(*page.center_of("#start"))
        self.wait_running()
        # The picture: 4:3 within the screen; the drawing buffer the canvas's
        # size at the pixel ratio's cap of 2.
        canvas = page.evaluate("""(() => { const c = document.getElementById('canvas');
            const r = c.getBoundingClientRect();
            return [c.width, c.height, r.left, r.top, r.width, r.height]; })()""")
        print("phone canvas:", canvas)
        self.assertEqual(canvas[0], round(canvas[4] * 2))
        self.assertEqual(canvas[1], round(canvas[5] * 2))
        self.assertTrue(canvas[2] >= 0 and canvas[2] + canvas[4] <= 390)

        # The bar shows at the start and hides after a few seconds of play.
        page.wait_until("document.getElementById('player').hidden", 60)
        page.tap(195, 300)
        page.wait_until("!document.getElementById('player').hidden", 60)
        # It stays while paused and hides after a few seconds of play.
        seek = page.evaluate("""(() => { const s = document.getElementById('seek');
            const r = s.getBoundingClientRect();
            return [s.type, Number(s.min), Number(s.max), r.left, r.top, r.width, r.height]; })()""")
        self.assertEqual(seek[:3], ["range", 0, SHOW_END_S])
        # A tap three quarters along the seek bar takes the clock there.
        page.tap(seek[3] + 0.75 * seek[5], seek[4] + seek[6] / 2)
        aim_ms = 0.75 * SHOW_END_S * 1000
        page.wait_until("Math.abs(%s - %d) < 40000" % (TIME, aim_ms), 60)
        self.assertAlmostEqual(float(page.evaluate("document.getElementById('seek').value")),
                               page.evaluate(TIME) / 1000, delta=3)

        # Pause by touch: the clock holds.
        self.show_bar()
        page.tap(*page.center_of("#play"))
        page.wait_until(PAUSED, 60)
        held = page.evaluate(TIME)
        # The button says so at the bar's next update (a frame later).
        page.wait_until("document.getElementById('play').getAttribute('aria-label') === 'Play'", 60)
        # The next event: the clock at its start, named in the caption.
        starts = page.evaluate("PlayerBar.script.events.map((e) => e.startMs)")
        self.assertEqual(len(starts), 91)
        page.tap(*page.center_of("#next-event"))
        following = min(s for s in starts if s > held)
        page.wait_until("%s === %d" % (TIME, following), 60)
        self.assertRegex(page.evaluate("document.getElementById('chapter').textContent"),
                         r"^event \d+/91: \w")
        # The caption is whole: on a line of its own inside the screen, not cut.
        caption = page.evaluate("""(() => { const c = document.getElementById('chapter');
            const r = c.getBoundingClientRect();
            return [c.textContent, r.left, r.right, c.scrollWidth, c.clientWidth]; })()""")
        print("phone caption: %r at %.0f to %.0f" % tuple(caption[:3]))
        self.assertTrue(caption[1] >= 0 and caption[2] <= 390, caption)
        self.assertLessEqual(caption[3], caption[4], "the caption is cut: %r" % caption)
        # A double tap on the right half: 5 s on, still paused.
        page.double_tap(300, 200)
        page.wait_until("%s === %d" % (TIME, following + 5000), 60)
        self.assertTrue(page.evaluate(PAUSED))

        # Back to the picture at FULL_PICTURE_S, paused, the bar hidden: 4:3
        # inside the phone's screen (1170x2532 device pixels).
        page.evaluate("PlayerBar.seekTo(%d)" % (FULL_PICTURE_S * 1000))
        page.wait_until("%s === %d" % (TIME, FULL_PICTURE_S * 1000), 60)
        page.evaluate("PlayerBar.hide()")
        page.wait_until("new Promise((r) => requestAnimationFrame(() => requestAnimationFrame("
                        "() => r(true))))")
        self.assertPictureIsFourByThree(1170, 2532)

        # Leave by touch: the form again, its address starting nothing part-way.
        self.show_bar()
        page.events.clear()
        page.tap(*page.center_of("#leave-show"))
        page.wait_for_load()
        page.wait_until("document.getElementById('dialog').hidden === false")
        self.assertNotIn("start", page.evaluate("location.search"))
        self.assertTrue(page.evaluate("document.getElementById('nosound').checked"))
        self.assertEqual(page.errors, [])

    def test_the_drawing_buffer_follows_the_window_and_keeps_the_picture_4_3(self):
        page = self.page
        page.resize_window(1280, 720)
        page.open(self.site.base + "index.html?nosound&nodialog&fullscreen&controls&start=%d"
                  % FULL_PICTURE_S, r"event \d+/91")
        self.wait_running()
        page.key(*browser.KEYS["Space"])  # paused: one picture to look at
        page.wait_until(PAUSED, 60)
        page.wait_until("(() => { const c = document.getElementById('canvas');"
                        " return c.width === innerWidth && c.height === innerHeight; })()", 10)
        page.evaluate("PlayerBar.hide()")
        # The window's own bars take their share of its height.
        wide = page.evaluate("[innerWidth, innerHeight]")
        self.assertEqual(wide[0], 1280)
        page.wait_until("new Promise((r) => requestAnimationFrame(() => requestAnimationFrame("
                        "() => r(true))))")
        self.assertPictureIsFourByThree(*wide)

        # Animation frames from the window's change to a drawing buffer of its size.
        page.evaluate("""window.framesToFollow = new Promise((resolve) => {
            addEventListener('resize', () => {
              let frames = 0;
              const check = () => {
                const c = document.getElementById('canvas');
                if (c.width === innerWidth && c.height === innerHeight) resolve(frames);
                else if (++frames > 120) resolve(-1); else requestAnimationFrame(check);
              };
              requestAnimationFrame(check);
            }, {once: true}); })""")
        page.resize_window(800, 900)
        frames = page.evaluate("framesToFollow", await_promise=True)
        print("the drawing buffer followed the window in %d frame(s)" % frames)
        self.assertGreaterEqual(frames, 0)
        self.assertLessEqual(frames, 2)
        tall = page.evaluate("[innerWidth, innerHeight]")
        self.assertEqual(tall, [800, wide[1] + 180])
        page.evaluate("PlayerBar.hide()")
        page.wait_until("new Promise((r) => requestAnimationFrame(() => requestAnimationFrame("
                        "() => r(true))))")
        self.assertPictureIsFourByThree(*tall)
        self.assertEqual(page.errors, [])

    def test_enter_starts_the_show_and_its_end_leaves_no_start_in_the_address(self):
        self.open_form("?nosound&start=20")
        self.assertEqual(self.page.evaluate("document.activeElement.id"), "resolution")
        self.page.key(*browser.KEYS["Enter"])
        self.wait_running()
        self.page.events.clear()
        self.page.key(*browser.KEYS["Escape"])
        self.page.wait_for_load()
        self.page.wait_until("document.getElementById('dialog').hidden === false")
        self.assertEqual(self.page.evaluate("location.search"), "?nosound")
        self.assertEqual(self.page.errors, [])

    def test_every_malformed_address_gets_its_message(self):
        cases = [
            ("?start=1e309", "start=1e309: --start takes seconds of song time from 0 to 2000000"),
            ("?start=-5", "start=-5: --start takes seconds"),
            ("?start=1600", "--start 1600.000 s: the show is over at 1560.000 s"),
            ("?window=100x100", "window=100x100: --window takes WxH from 320x240 to 8192x8192"),
            ("?strat=100", "strat=100: the page takes no such setting"),
            ("?nosound=0", "nosound=0: --nosound takes no value"),
            ("?start=" + "9" * 3000, "start=999"),
        ]
        for query, text in cases:
            self.page.open(self.site.base + "index.html" + query, r".")
            shown = self.page.wait_until("!document.getElementById('message').hidden &&"
                                         " document.getElementById('message-text').textContent")
            self.assertTrue(shown.startswith(text), "%s: %r" % (query[:40], shown[:200]))
            self.assertTrue(self.page.evaluate("document.getElementById('dialog').hidden"))
            # However long, the message wraps inside the window.
            self.assertLessEqual(self.page.evaluate("document.documentElement.scrollWidth"),
                                 self.page.evaluate("window.innerWidth"), query[:40])
        shots = [
            ("?shot=30&size=100000x100000", "error: size=100000x100000: --size takes WxH, each "
                                            "from 16 to 8192"),
            ("?shot=99999", "error: --shot 99999.000 s: the show is over at 1560.000 s: there is "
                            "no frame to take"),
            ("?shot=30&fps=1000", "error: fps=1000: --fps takes a whole number from 1 to 240"),
        ]
        for query, text in shots:
            title = self.page.open(self.site.base + "index.html" + query, r"^shot ready$")
            self.assertTrue(title.startswith(text), "%s: %r" % (query, title))
        self.assertEqual(self.page.errors, [])

    def test_a_server_that_inflates_the_gz_files_itself_is_served(self):
        self.site.gzip_encoding = True
        self.page.open(self.site.base + "index.html?nosound&nodialog&controls&start=16.5",
                       r"event \d+/91")
        self.wait_running()
        self.assertTrue(self.page.evaluate("document.getElementById('message').hidden"))
        self.assertEqual(self.page.errors, [])

    def test_a_page_opened_as_a_file_says_how_to_serve_it(self):
        self.page.open("file://" + os.path.join(SITE, "index.html"), r".")
        text = self.page.wait_until("!document.getElementById('served').hidden &&"
                                    " document.getElementById('served').textContent")
        self.assertIn("python3 -m http.server -d build/web", text)
        self.assertTrue(self.page.evaluate("document.getElementById('dialog').hidden"))


if __name__ == "__main__":
    main(BUILD, SITE)
