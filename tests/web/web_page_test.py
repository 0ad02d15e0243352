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

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from page_test_main import PageTest, browser, build_and_site, main  # noqa: E402
import png_pictures  # noqa: E402

BUILD, SITE = build_and_site()

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


class WebPage(PageTest):
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

    def test_a_multisampled_shot_is_the_launchers_too(self):
        """&msaa=4 draws into WebGL 2 multisampled renderbuffers: within the
        golden tolerance of talvenor --msaa 4, and unlike the plain shot."""
        with tempfile.TemporaryDirectory() as folder:
            native = os.path.join(folder, "msaa.png")
            run = subprocess.run([os.path.join(BUILD, "talvenor"), "--shot", "14.25", native,
                                  "--size", "320x240", "--msaa", "4"], cwd=BUILD,
                                 capture_output=True, text=True, timeout=120)
            self.assertEqual(run.returncode, 0, run.stderr)
            web = png_pictures.read_png(
                shot_png(self.page, self.site.base + "index.html?shot=14.25&size=320x240&msaa=4"))
            plain = png_pictures.read_png(
                shot_png(self.page, self.site.base + "index.html?shot=14.25&size=320x240"))
            with open(native, "rb") as f:
                mean, far = png_pictures.compare(png_pictures.read_png(f.read()), web)
        print("msaa=4 against --msaa 4: mean %.3f, %.3f%% far off" % (mean, 100 * far))
        self.assertTrue(png_pictures.within_golden_tolerance(mean, far), (mean, far))
        self.assertNotEqual(web, plain)

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

    def test_the_live_page_with_smooth_edges_draws_its_picture(self):
        """msaa=2 and 4 live (not a shot): the multisampled picture reaches
        the canvas (figure A's sky lights most of it) and WebGL refused no
        copy on the way."""
        for samples in (2, 4):
            self.page.open(self.site.base + "index.html?start=30&nosound&nodialog&controls"
                           "&window=320x240&msaa=%d" % samples, r"event \d+/91")
            # Two frames drawn and shown after the title came.
            self.page.evaluate("new Promise((r) => requestAnimationFrame("
                               "() => requestAnimationFrame(r)))", await_promise=True)
            gl_error = self.page.evaluate("Module.canvas.getContext('webgl2').getError()")
            left, top = self.page.evaluate("(() => { const r = Module.canvas.getBoundingClientRect();"
                                           " return [Math.ceil(r.x), Math.ceil(r.y)]; })()")
            width, height, pixels = png_pictures.read_png(self.page.screenshot())
            lit = sum(1 for y in range(top, min(height, top + 240), 4)
                      for x in range(left, min(width, left + 320), 4)
                      if max(pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]) > 24)
            share = lit / (80 * 60)
            print("msaa=%d live: %.1f%% of the canvas lit, GL error %d" % (samples, 100 * share,
                                                                          gl_error))
            self.assertEqual(gl_error, 0)
            self.assertGreater(share, 0.5)
        self.assertNoConsoleError()

    def open_form(self, url):
        """Opens the page and waits for its form, which shows once the
        program has started (after the page's load)."""
        self.page.open(url, r"^Sorvanel$")
        self.page.wait_until("document.getElementById('dialog').hidden === false")

    def test_the_dialog_starts_the_show_and_esc_brings_it_back(self):
        self.open_form(self.site.base + "index.html")
        self.assertEqual(self.page.evaluate("document.querySelector('.caption').textContent"),
                         "Morrowen :: Talvenor")
        self.assertEqual(self.page.evaluate("document.getElementById('resolution').value"),
                         "640x480")
        self.page.click("#nosound")
        self.page.click("#start")
        # The show runs: its clock moves on from 0.
        self.page.wait_until("Module.sorvanelSong && Module.sorvanelSong.timeMs() > 500")
        self.assertFalse(self.page.evaluate("document.getElementById('stage').hidden"))
        self.page.events.clear()
        self.page.key(*browser.KEYS["Escape"])
        # The show fades out, ends, and the page comes back with the dialog.
        self.page.wait_for_load()
        self.page.wait_until("document.getElementById('dialog').hidden === false")
        self.assertTrue(self.page.evaluate("document.getElementById('nosound').checked"))
        self.assertNoConsoleError()

    def test_the_form_starts_the_show_with_its_song_sounding(self):
        # Started at 0:14 from the form's click (the gesture that lets sound
        # start): the song sounds through the page's AudioWorklet (what its
        # gain node passes on is not silence) and the clock is its play
        # position, so it moves with the audio clock. (Against the wall it may fall behind here: a
        # busy machine starves headless Chromium's audio thread, and the
        # clock rightly follows what is played.)
        # Measured from the first half second of the show: the song waits in
        # the worklet until the first frames (which set up the GL state, slow
        # on a software rasteriser) have run, so the start is fed as the rest.
        self.open_form(self.site.base + "index.html?start=14&controls&window=320x240")
        self.page.click("#start")
        # The controls' title says where the show stands, should it not get there.
        self.page.wait_until("Module.sorvanelSong && Module.sorvanelSong.timeMs() >= 14500")
        heard = self.page.evaluate("""new Promise((resolve) => {
            const song = Module.sorvanelSong;
            const tap = song.context ? song.context.createAnalyser() : null;
            if (tap === null) return resolve([false, 'no AudioContext', 0, 0, 0]);
            tap.fftSize = 2048;
            song.gain.connect(tap);
            // Silence the worklet played when its queue ran dry: the audio
            // clock ran on over it while the song rightly held.
            const dryMs = () => song.gaps()[1] * 1000 / song.context.sampleRate;
            const song0 = song.timeMs(), audio0 = song.context.currentTime, dry0 = dryMs();
            const wall0 = performance.now();
            setTimeout(() => {
                const samples = new Float32Array(tap.fftSize);
                tap.getFloatTimeDomainData(samples);
                const peak = samples.reduce((m, v) => Math.max(m, Math.abs(v)), 0);
                const audioMs = (song.context.currentTime - audio0) * 1000;
                resolve([song instanceof WorkletSong, song.context.state, peak,
                         (song.timeMs() - song0 + dryMs() - dry0) / audioMs,
                         audioMs / (performance.now() - wall0),
                         song.gaps()[0]]);
            }, 3000); })""", await_promise=True)
        worklet, state, peak, against_audio, audio_pace, gaps = heard
        print("with sound: %s, peak %.3f, song clock and dry silence against the audio clock"
              " %.4f, audio clock against the wall %.4f, worklet ran dry %d times"
              % (state, peak, against_audio, audio_pace, gaps))
        self.assertTrue(worklet)
        self.assertEqual(state, "running")
        self.assertGreater(peak, 0.01)
        self.assertAlmostEqual(against_audio, 1.0, delta=0.05)
        self.assertGreater(audio_pace, 0.5)  # sounding, not held
        self.assertNoConsoleError()

    def test_a_missing_file_shows_the_launchers_text(self):
        for hidden, text in (("data/Sorvanel.it.gz", "Soundfile not found"),
                             ("data/morrowen.q7v", "Loading Texture failed!")):
            self.site.hidden = {hidden}
            self.page.open(self.site.base + "index.html?nosound&nodialog", r".")
            shown = self.page.wait_until(
                "!document.getElementById('message').hidden &&"
                " document.getElementById('message-text').textContent")
            self.assertEqual(shown, text)
            self.page.errors.clear()  # the 404 and the cause are said on the console


if __name__ == "__main__":
    main(BUILD, SITE)
