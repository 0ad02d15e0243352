#!/usr/bin/python3
"""How the show's sound starts, in headless Chromium: an output whose
timestamps run on another clock (as WebKitGTK's do) still gets the song
heard and the clock running; an output that never plays the song is said
within seconds in the launcher's words, with a way on without sound; a bare
?nodialog link asks for the one click the browser needs, and goes straight
on where the browser needs none.

    web_start_test.py BUILD_FOLDER        (exit 77: no site built, skipped)
"""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from page_test_main import PageTest, browser, build_and_site, main  # noqa: E402

BUILD, SITE = build_and_site()

MESSAGE_SHOWN = ("!document.getElementById('message').hidden &&"
                 " document.getElementById('message-text').textContent")
SONG_MS = "Module.sorvanelSong ? Module.sorvanelSong.timeMs() : 0"

# WebKitGTK's getOutputTimestamp(), as measured there: a true context time,
# its performanceTime on a clock running at about twice performance.now().
TWICE_AS_FAST_STAMPS = """
AudioContext.prototype.getOutputTimestamp = function () {
  return {contextTime: Math.max(0, this.currentTime - 0.03), performanceTime: 2 * performance.now()};
};
"""


class ShowStart(PageTest):
    def open_form(self, query):
        self.page.open(self.site.base + "index.html" + query, r".")
        self.page.wait_until("document.getElementById('dialog').hidden === false")

    def test_an_output_timestamp_on_another_clock_leaves_the_song_heard(self):
        self.page.run_before_pages(TWICE_AS_FAST_STAMPS)
        self.open_form("?start=14&controls&window=320x240")
        self.page.click("#start")
        # Two seconds of song heard (before, the page reckoned nothing heard
        # and fed the worklet no more after its first second).
        self.page.wait_until("%s >= 16000" % SONG_MS, 60)
        why, gaps, shown = self.page.evaluate(
            "[Module.sorvanelSong.heardClock.why, Module.sorvanelSong.gaps()[0],"
            " !document.getElementById('message').hidden]")
        print("stamps given up: %s; worklet ran dry %d times" % (why, gaps))
        self.assertIn("performanceTime", why)
        self.assertFalse(shown)
        self.assertEqual(self.page.errors, [])

    def test_a_song_never_heard_is_said_with_a_way_on_without_sound(self):
        self.site.silent_worklet = True
        self.open_form("?start=14&controls&window=320x240")
        clicked = time.monotonic()
        self.page.click("#start")
        text = self.page.wait_until(MESSAGE_SHOWN, 30)
        after = time.monotonic() - clicked
        detail = self.page.evaluate("document.getElementById('message-detail').textContent")
        print("said %.1f s after the click: %s %s" % (after, text, detail))
        self.assertEqual(text, "Sound initialization failed!")
        # Found by the worklet's silence as soon as its context runs, while
        # the program still loads (half a second of the context's time).
        self.assertIn("never reported", detail)
        self.assertLess(after, 20)  # on a machine as loaded as it may be
        self.assertTrue(self.page.evaluate("document.getElementById('stage').hidden"))
        self.page.errors.clear()  # the failure is said on the console too
        # Going on without sound: the show from where it was to start.
        self.page.events.clear()
        self.page.click("#message-nosound")
        self.page.wait_for_load()
        self.page.wait_until("%s >= 14500" % SONG_MS, 60)
        self.assertTrue(self.page.evaluate("Module.sorvanelSong instanceof SilentSong"))
        self.assertRegex(self.page.evaluate("location.search"), r"nosound.*nodialog.*start=14")
        self.assertEqual(self.page.errors, [])

    def test_a_worklet_that_reports_but_plays_nothing_is_said_at_its_first_silence(self):
        self.site.silent_worklet = "mute"
        self.open_form("?start=14&controls&window=320x240")
        clicked = time.monotonic()
        self.page.click("#start")
        text = self.page.wait_until(MESSAGE_SHOWN, 60)
        after = time.monotonic() - clicked
        detail = self.page.evaluate("document.getElementById('message-detail').textContent")
        print("said %.1f s after the click: %s %s" % (after, text, detail))
        self.assertEqual(text, "Sound initialization failed!")
        # Found by the moment of silence the worklet is given at the click
        # (judged before the song's own start can be, however soon the show
        # loads), not by waiting for the show to let its song go.
        self.assertIn("handed nothing out, not even its first moment of silence", detail)
        self.assertLess(after, 20)  # on a machine as loaded as it may be
        self.page.errors.clear()  # the failure is said on the console too

    def test_a_bare_nodialog_link_asks_for_the_click_sound_needs(self):
        self.page.open(self.site.base + "index.html?nodialog&start=14&controls&window=320x240",
                       r".")
        self.page.wait_until("!document.getElementById('click-to-start').hidden", 60)
        self.assertTrue(self.page.evaluate("document.getElementById('stage').hidden"))
        self.page.click("#click-start")
        self.page.wait_until("%s >= 14500" % SONG_MS, 60)
        self.assertEqual(self.page.evaluate("songContext.state"), "running")
        self.assertTrue(self.page.evaluate("document.getElementById('message').hidden"))
        self.assertEqual(self.page.errors, [])

    def test_a_nodialog_link_starts_at_once_where_sound_needs_no_click(self):
        self.page.close()
        self.page = browser.Browser(deadline=300, autoplay=True)
        self.page.open(self.site.base + "index.html?nodialog&start=14&controls&window=320x240",
                       r".")
        self.page.wait_until("%s >= 14500" % SONG_MS, 60)
        self.assertTrue(self.page.evaluate("document.getElementById('click-to-start').hidden"))
        self.assertEqual(self.page.errors, [])


if __name__ == "__main__":
    main(BUILD, SITE)
