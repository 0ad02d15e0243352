#!/usr/bin/python3
"""The page's song in headless Chromium: the samples the page's own mixer
makes equal the native module's (talvenor --capture FILE.s16) at the start,
in the middle and at the end, and with the closing fade's volume steps the
native mixer's own (song_mix_reference); the live page hands its worklet
exactly those samples; a song that is missing, cut short or answered with
an error says "Soundfile not found" within 10 s; a network slowed to
20 KB/s after the start changes nothing; Esc lets the worklet play out the
fade before the form comes back.

    web_sound_test.py BUILD_FOLDER SONG_MIX_REFERENCE   (exit 77: no site, skipped)
"""
import os
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from page_test_main import PageTest, browser, build_and_site, main  # noqa: E402
import sound_checks  # noqa: E402

BUILD, SITE = build_and_site()
REFERENCE = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else ""
RATE = 44100

# The page's offline mix of a stretch, read back as a list of samples.
PAGE_MIX = """(async () => {
    await writeDataFiles();
    const frames = %d;
    const at = Module._sorvanelSongMix(%d, frames, %d);
    if (at === 0) return null;
    return Array.from(HEAP16.subarray(at >> 1, (at >> 1) + 2 * frames));
})()"""


def native_capture(folder, start, end):
    path = os.path.join(folder, "song-%g.s16" % start)
    run = subprocess.run([os.path.join(BUILD, "talvenor"), "--capture", path, "--from", str(start),
                          "--to", str(end)], cwd=BUILD, capture_output=True, text=True, timeout=300)
    if run.returncode != 0:
        raise AssertionError("talvenor --capture: " + run.stderr)
    return sound_checks.read_s16(path)


class PageSong(PageTest):
    def open_idle_page(self):
        """The page with its program started and no show running."""
        self.page.open(self.site.base + "index.html", r"^Sorvanel$")
        self.page.wait_until("typeof Module !== 'undefined' && Module.calledRun === true")

    def page_mix(self, start_ms, frames, fade_from=-1):
        samples = self.page.evaluate(PAGE_MIX % (frames, start_ms, fade_from), await_promise=True)
        self.assertIsNotNone(samples, "the page could not mix the song: %s" % self.page.errors)
        return samples

    def assertSameSamples(self, web, native, what):
        """Equal sample for sample: the page and the native module mix the
        song with the same code in the same fixed blocks."""
        self.assertEqual(len(web), len(native), what + ": lengths")
        count, largest = sound_checks.differences(web, native)
        first = sound_checks.first_difference(web, native)
        print("%s: %d samples, %d differ (largest by %d)" % (what, len(web), count, largest))
        self.assertEqual(count, 0, "%s: %d samples differ, the first at frame %s, by up to %d"
                         % (what, count, None if first is None else first // 2, largest))

    def test_the_pages_mix_is_the_native_capture(self):
        self.open_idle_page()
        with tempfile.TemporaryDirectory() as folder:
            for name, start, end in (("start", 0, 4), ("middle", 780, 784), ("end", 1556, 1560)):
                native = native_capture(folder, start, end)
                web = self.page_mix(start * 1000, len(native) // 2)
                self.assertSameSamples(web, native, "%s (%g to %g s)" % (name, start, end))
        self.assertEqual(self.page.errors, [])

    @unittest.skipUnless(os.access(REFERENCE, os.X_OK), "no song_mix_reference")
    def test_the_closing_fade_is_the_native_mixers(self):
        self.open_idle_page()
        start_ms, frames, fade_from = 1557000, 2 * RATE, RATE // 4
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "fade.s16")
            run = subprocess.run([REFERENCE, os.path.join(BUILD, "Sorvanel.it"), str(start_ms),
                                  str(frames), str(fade_from), path], capture_output=True,
                                 text=True, timeout=120)
            self.assertEqual(run.returncode, 0, run.stderr)
            native = sound_checks.read_s16(path)
        web = self.page_mix(start_ms, frames, fade_from)
        self.assertSameSamples(web, native, "the closing fade")
        # The fade is in it: the last 0.1 s is far quieter than the first.
        loud = max(abs(s) for s in native[: RATE // 5])
        quiet = max(abs(s) for s in native[-RATE // 5:])
        self.assertLess(quiet * 20, loud, (loud, quiet))

    def start_with_sound(self, start, tap=False):
        """The show from the form's click (the gesture sound needs), at `start`
        s; with `tap`, every chunk sent to the worklet is kept."""
        self.page.open(self.site.base + "index.html?start=%g&controls&window=320x240" % start,
                       r"^Sorvanel$")
        self.page.wait_until("document.getElementById('dialog').hidden === false")
        if tap:
            self.page.evaluate("globalThis.songWorkletTap = []")
        self.page.click("#start")
        self.page.wait_until("Module.sorvanelSong instanceof WorkletSong")

    def test_the_live_worklet_gets_the_native_samples(self):
        self.start_with_sound(14, tap=True)
        self.page.wait_until("Module.sorvanelSong.timeMs() >= 17000", seconds=60)
        chunks = self.page.evaluate("""(() => {
            const tap = Module.sorvanelSong.tap, generation = tap[tap.length - 1].generation;
            const out = [];
            for (const c of tap) if (c.generation === generation) out.push(...c.samples);
            return [generation, out]; })()""")
        generation, samples = chunks
        with tempfile.TemporaryDirectory() as folder:
            native = native_capture(folder, 14, 17)
        # Sent from the start on, in one generation (no restart while it played).
        self.assertEqual(generation, 1)
        self.assertGreaterEqual(len(samples), len(native))
        self.assertSameSamples(samples[: len(native)], native, "the worklet's input (14 to 17 s)")
        gaps, silent = self.page.evaluate("Module.sorvanelSong.gaps()")
        print("the worklet ran dry %d times (%d frames)" % (gaps, silent))
        self.assertEqual(self.page.errors, [])

    def test_esc_with_sound_plays_the_fade_out_before_the_form_returns(self):
        self.start_with_sound(20)
        self.page.wait_until("Module.sorvanelSong.timeMs() >= 21000", seconds=60)
        # Kept across the reload that brings the form back.
        self.page.evaluate("sessionStorage.removeItem('played out');"
                           "Module.sorvanelSong.playedOut(10000).then("
                           "(done) => sessionStorage.setItem('played out', String(done)))")
        self.page.events.clear()
        self.page.key("Escape", "Escape", 27)
        self.page.wait_for_load()
        self.page.wait_until("document.getElementById('dialog').hidden === false")
        self.assertEqual(self.page.evaluate("sessionStorage.getItem('played out')"), "true")
        self.assertEqual(self.page.errors, [])

    def test_a_broken_song_says_so_within_ten_seconds(self):
        # Each with what really happened beside the launcher's text.
        causes = {"missing": "HTTP 404", "error": "HTTP 500",
                  "cut": "gzip file cut short or damaged", "truncated": "the connection closed after"}
        for fault in ("missing", "error", "cut", "truncated"):
            self.site.song_fault = fault
            started = time.monotonic()
            self.page.open(self.site.base + "index.html?nodialog&nosound", r".")
            shown = self.page.wait_until(
                "!document.getElementById('message').hidden &&"
                " [document.getElementById('message-text').textContent,"
                "  document.getElementById('message-detail').textContent]", seconds=30)
            took = time.monotonic() - started
            print("%-9s %.1f s: %s %s" % (fault, took, shown[0], shown[1]))
            self.assertEqual(shown[0], "Soundfile not found", fault)
            self.assertIn(causes[fault], shown[1], fault)
            self.assertLess(took, 10.0, fault)
            self.page.errors.clear()  # the failed fetches and the cause are said on the console

    def test_a_slow_network_after_the_start_changes_nothing(self):
        self.start_with_sound(30)
        self.page.wait_until("Module.sorvanelSong.timeMs() >= 31000", seconds=60)
        self.page.call("Network.enable", session=True)
        self.page.call("Network.emulateNetworkConditions", session=True, offline=False, latency=400,
                       downloadThroughput=20 * 1024, uploadThroughput=20 * 1024)
        gaps0 = self.page.evaluate("Module.sorvanelSong.gaps()")
        song0, audio0 = self.page.evaluate(
            "[Module.sorvanelSong.timeMs(), songContext.currentTime * 1000]")
        self.page.wait_until("songContext.currentTime * 1000 >= %f" % (audio0 + 5000), seconds=60)
        song1, audio1 = self.page.evaluate(
            "[Module.sorvanelSong.timeMs(), songContext.currentTime * 1000]")
        gaps1 = self.page.evaluate("Module.sorvanelSong.gaps()")
        pace = (song1 - song0) / (audio1 - audio0)
        print("throttled to 20 KB/s: song clock against the audio clock %.4f, worklet ran dry"
              " %d times before, %d after" % (pace, gaps0[0], gaps1[0]))
        self.assertEqual(gaps1, gaps0)
        self.assertAlmostEqual(pace, 1.0, delta=0.05)
        self.assertEqual(self.page.errors, [])


if __name__ == "__main__":
    main(BUILD, SITE)
