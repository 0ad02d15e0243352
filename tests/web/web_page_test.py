#!/usr/bin/python3
"""The show in a real browser: the built site (build/web/) served from
127.0.0.1 and opened in headless Chromium. Shots through the page match
talvenor's own at golden instants within the golden frames' tolerance; the
live page draws frames on a clock that runs in real time with no console
error; the dialog starts the show and Esc brings it back; a missing file
shows the launcher's text.

    web_page_test.py BUILD_FOLDER        (exit 77: no site built, skipped)
"""
import base64
import os
import re
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
try:
    import browser  # noqa: E402
except ImportError as missing:  # python3-websocket: scripts/setup.sh --web
    browser = None
    WHY_NOT = str(missing)
import png_pictures  # noqa: E402
from site_server import Site  # noqa: E402

BUILD = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else "build"
SITE = os.path.join(BUILD, "web")

# Instants of the golden frames (tests/golden), one of each kind of scene.
INSTANTS = [
    ("burst", "0.5"), ("credits_at_rest", "14.25"), ("title", "16.5"), ("trails", "17.2"),
    ("figure_a", "30"), ("text_scene", "60"), ("swarm", "135"), ("circle_b", "370"),
    ("triple_swarm", "1370"),
]


def shot_png(page, url):
    """The PNG the page puts in <img id="shot"> once its title says so."""
    title = page.open(url, r"^shot ready$")
    if title != "shot ready":
        raise AssertionError("the page said: " + title)
    source = page.evaluate("document.getElementById('shot').src")
    match = re.match(r"data:image/png;base64,(.*)$", source or "")
    if match is None:
        raise AssertionError("no shot in the page")
    return base64.b64decode(match.group(1))


class WebPage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.site = Site(SITE)

    @classmethod
    def tearDownClass(cls):
        cls.site.close()

    def setUp(self):
        self.site.hidden.clear()
        self.page = browser.Browser(deadline=300)

    def tearDown(self):
        self.page.close()

    def assertNoConsoleError(self):
        self.assertEqual(self.page.errors, [])

    def test_shots_match_talvenors_at_the_golden_instants(self):
        worst = (0.0, 0.0, "")
        with tempfile.TemporaryDirectory() as folder:
            for name, seconds in INSTANTS:
                native = os.path.join(folder, name + ".png")
                run = subprocess.run([os.path.join(BUILD, "talvenor"), "--shot", seconds, native,
                                      "--size", "320x240"], cwd=BUILD, capture_output=True,
                                     text=True, timeout=120)
                self.assertEqual(run.returncode, 0, run.stderr)
                web = shot_png(self.page, self.site.base + "index.html?shot=%s&size=320x240" % seconds)
                with open(native, "rb") as f:
                    mean, far = png_pictures.compare(png_pictures.read_png(f.read()),
                                                     png_pictures.read_png(web))
                print("%-16s %7s s: mean %.3f per channel, %.3f%% of pixels off by more than 48"
                      % (name, seconds, mean, 100 * far))
                self.assertTrue(png_pictures.within_golden_tolerance(mean, far),
                                "%s: mean %.3f, %.3f%% far off" % (name, mean, 100 * far))
                worst = max(worst, (far, mean, name))
        print("worst: %s, %.3f%% far off, mean %.3f" % (worst[2], 100 * worst[0], worst[1]))
        self.assertNoConsoleError()

    def test_a_widescreen_shot_is_the_launchers_too(self):
        with tempfile.TemporaryDirectory() as folder:
            native = os.path.join(folder, "wide.png")
            run = subprocess.run([os.path.join(BUILD, "talvenor"), "--shot", "135", native,
                                  "--size", "640x360", "--widescreen"], cwd=BUILD,
                                 capture_output=True, text=True, timeout=120)
            self.assertEqual(run.returncode, 0, run.stderr)
            web = shot_png(self.page, self.site.base +
                           "index.html?shot=135&size=640x360&widescreen")
            with open(native, "rb") as f:
                mean, far = png_pictures.compare(png_pictures.read_png(f.read()),
                                                 png_pictures.read_png(web))
        self.assertTrue(png_pictures.within_golden_tolerance(mean, far), (mean, far))

    def test_the_live_page_draws_frames_on_a_real_time_clock(self):
        title = self.page.open(self.site.base + "index.html?start=14&nosound&nodialog&controls",
                               r"event \d+/91")
        self.assertIn("0:14", title)
        # Five seconds of the page's own time, counted in animation frames.
        songStart, songEnd, wallStart, wallEnd, frames = self.page.evaluate("""
            new Promise((resolve) => {
                const song0 = Module.sorvanelSong.timeMs(), wall0 = performance.now();
                let frames = 0;
                const tick = () => {
                    ++frames;
                    const wall = performance.now();
                    if (wall - wall0 >= 5000) {
                        resolve([song0, Module.sorvanelSong.timeMs(), wall0, wall, frames]);
                    } else {
                        requestAnimationFrame(tick);
                    }
                };
                requestAnimationFrame(tick);
            })""", await_promise=True)
        rate = (songEnd - songStart) / (wallEnd - wallStart)
        print("song clock against the wall: %.4f over %.0f ms, %d frames" %
              (rate, wallEnd - wallStart, frames))
        self.assertAlmostEqual(rate, 1.0, delta=0.05)
        self.assertGreater(frames, 5)
        # The title follows the clock: song time and the event it lies in.
        self.assertRegex(self.page.evaluate("document.title"), r"0:(19|2\d)\.\d - event \d+/91")
        self.assertNoConsoleError()

    def test_the_dialog_starts_the_show_and_esc_brings_it_back(self):
        self.page.open(self.site.base + "index.html", r"^Sorvanel$")
        self.assertFalse(self.page.evaluate("document.getElementById('dialog').hidden"))
        self.assertEqual(self.page.evaluate("document.querySelector('.caption').textContent"),
                         "Morrowen :: Talvenor")
        self.assertEqual(self.page.evaluate("document.getElementById('resolution').value"),
                         "640x480")
        self.page.click("#nosound")
        self.page.click("#start")
        # The show runs: its clock moves on from 0.
        self.page.evaluate("""new Promise((resolve) => {
            const wait = () => (Module.sorvanelSong && Module.sorvanelSong.timeMs() > 500)
                ? resolve(true) : requestAnimationFrame(wait);
            wait(); })""", await_promise=True)
        self.assertFalse(self.page.evaluate("document.getElementById('stage').hidden"))
        self.page.events.clear()
        self.page.key(*browser.KEYS["Escape"])
        # The show fades out, ends, and the page comes back with the dialog.
        self.page.wait_for_load()
        self.page.evaluate("""new Promise((resolve) => {
            const wait = () => document.getElementById('dialog').hidden === false
                ? resolve(true) : setTimeout(wait, 20);
            wait(); })""", await_promise=True)
        self.assertTrue(self.page.evaluate("document.getElementById('nosound').checked"))
        self.assertNoConsoleError()

    def test_the_form_starts_the_show_with_its_song_sounding(self):
        # Started at 0:14 from the form's click (the gesture that lets sound
        # start): the clock is the song heard through Web Audio, and what the
        # song's gain node passes on is not silence.
        self.page.open(self.site.base + "index.html?start=14", r"^Sorvanel$")
        self.page.click("#start")
        heard = self.page.evaluate("""new Promise((resolve) => {
            const wait = () => {
                const song = Module.sorvanelSong;
                if (!song || song.timeMs() < 14500) return requestAnimationFrame(wait);
                const tap = song.context.createAnalyser();
                tap.fftSize = 2048;
                song.gain.connect(tap);
                const song0 = song.timeMs(), wall0 = performance.now();
                setTimeout(() => {
                    const samples = new Float32Array(tap.fftSize);
                    tap.getFloatTimeDomainData(samples);
                    const peak = samples.reduce((m, v) => Math.max(m, Math.abs(v)), 0);
                    resolve([song instanceof WebAudioSong, song.context.state, peak,
                             (song.timeMs() - song0) / (performance.now() - wall0)]);
                }, 3000);
            };
            wait(); })""", await_promise=True)
        web_audio, state, peak, rate = heard
        print("with sound: %s, peak %.3f, song clock against the wall %.4f" % (state, peak, rate))
        self.assertTrue(web_audio)
        self.assertEqual(state, "running")
        self.assertGreater(peak, 0.01)
        self.assertAlmostEqual(rate, 1.0, delta=0.05)
        self.assertNoConsoleError()

    def test_a_missing_file_shows_the_launchers_text(self):
        for hidden, text in (("song/index.json", "Soundfile not found"),
                             ("data/morrowen.q7v", "Loading Texture failed!")):
            self.site.hidden = {hidden}
            self.page.open(self.site.base + "index.html?nosound&nodialog", r".")
            shown = self.page.evaluate("""new Promise((resolve) => {
                const wait = () => document.getElementById('message').hidden === false
                    ? resolve(document.getElementById('message-text').textContent)
                    : setTimeout(wait, 20);
                wait(); })""", await_promise=True)
            self.assertEqual(shown, text)
            self.page.errors.clear()  # the 404 and the cause are said on the console


if __name__ == "__main__":
    # Exit 77, CTest's "skipped", where the site or the browser is missing.
    if not os.path.exists(os.path.join(SITE, "sorvanel.wasm")):
        print("no site in %s: cmake --build %s --target web" % (SITE, BUILD))
        sys.exit(77)
    if browser is None or not os.access(browser.CHROMIUM, os.X_OK):
        print("no headless Chromium to drive (%s): scripts/setup.sh --web"
              % (WHY_NOT if browser is None else browser.CHROMIUM))
        sys.exit(77)
    unittest.main(verbosity=2)
