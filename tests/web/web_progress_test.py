#!/usr/bin/python3
"""The page while it waits, in headless Chromium: on a slow line the form is
there at once with the downloads' progress under it, and after the click a
LOADING banner with that progress until the show's first frame; a server
that pauses before each answer is waited for; the player bar's keys work
without "Controls".

    web_progress_test.py BUILD_FOLDER        (exit 77: no site built, skipped)
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from page_test_main import PageTest, browser, build_and_site, main  # noqa: E402

BUILD, SITE = build_and_site()

TIME = "ccall('sorvanelPlayerTimeMs', 'number', [], [])"
PAUSED = "ccall('sorvanelPlayerPaused', 'number', [], []) === 1"
SHOWN = "!document.getElementById('%s').hidden"
SONG_LEFT = ("(() => { const p = dataFetchProgress.get('Sorvanel.it');"
             " return p !== undefined && p.total > p.received; })()")


class PageProgress(PageTest):
    def slow_line(self, bytes_per_second):
        self.page.call("Network.enable", session=True)
        self.page.call("Network.emulateNetworkConditions", session=True, offline=False,
                       latency=100, downloadThroughput=bytes_per_second,
                       uploadThroughput=bytes_per_second)

    def test_a_slow_line_shows_the_form_at_once_and_the_progress_until_the_first_frame(self):
        page = self.page
        self.slow_line(150 * 1024)  # the site's 2.7 MB in about 18 s
        page.open(self.site.base + "index.html?nosound&start=30&window=320x240", r".")
        progress = page.wait_until("%s && document.getElementById('download').textContent"
                                   % (SHOWN % "dialog"), 30)
        song_left = page.evaluate(SONG_LEFT)
        print("the form with: %r (the song still coming: %s)" % (progress, song_left))
        self.assertRegex(progress, r"^Downloading the show: [0-9.]+ [KM]B of [0-9.]+ [KM]B$")
        self.assertTrue(page.evaluate("document.getElementById('nosound').checked"))
        page.click("#start")
        banner = page.wait_until("%s && document.getElementById('loading').textContent"
                                 % (SHOWN % "loading"), 10)
        print("after the click: %r" % banner)
        self.assertTrue(banner.startswith("LOADING"))
        # The banner goes with the show's first frame, and only then.
        page.wait_until("%s || (Module.calledRun && %s > 0)" % (SHOWN % "message", TIME),
                        120)
        self.assertTrue(page.evaluate("document.getElementById('loading').hidden"))
        self.assertFalse(page.evaluate(SHOWN % "message"))
        self.assertEqual(page.evaluate("document.getElementById('download').textContent"), "")
        self.assertEqual(page.errors, [])

    def test_a_server_that_pauses_before_each_answer_is_waited_for(self):
        self.site.song_pause_s = 10
        self.page.open(self.site.base + "index.html?nosound&nodialog&start=30", r".")
        self.page.wait_until("%s || (Module.calledRun && %s > 30000)"
                             % (SHOWN % "message", TIME), 120)
        self.assertFalse(self.page.evaluate(SHOWN % "message"),
                         self.page.evaluate("document.getElementById('message-detail').textContent"))
        self.assertEqual(self.site.song_requests, 1)
        self.assertEqual(self.page.errors, [])

    def test_space_and_the_arrows_work_without_controls(self):
        page = self.page
        page.open(self.site.base + "index.html?nosound&nodialog&start=30", r".")
        page.wait_until("Module.calledRun && %s > 30000" % TIME, 120)
        page.key(*browser.KEYS["Space"])
        page.wait_until(PAUSED, 10)
        self.assertTrue(page.evaluate(SHOWN % "player"))
        at = page.evaluate(TIME)
        page.key(*browser.KEYS["Right"])
        page.wait_until("%s >= %d" % (TIME, at + 4900), 10)
        page.key(*browser.KEYS["Left"])
        page.key(*browser.KEYS["Left"])
        page.wait_until("%s <= %d" % (TIME, at - 4900), 10)
        page.key(*browser.KEYS["Space"])
        page.wait_until("!(%s)" % PAUSED, 10)
        self.assertEqual(page.errors, [])


if __name__ == "__main__":
    main(BUILD, SITE)
