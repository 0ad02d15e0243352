#!/usr/bin/python3
"""The page in the two other engines: Firefox ESR (Gecko, through
Marionette) and WebKitGTK (WebKit, Safari's engine, through python3-gi),
each in a window on a private X screen with its sound into a private
PulseAudio null sink. In each the form's "Beam me up!" is clicked for real,
the song sounds (the audio clock runs), what the sink plays is talvenor's
song, the show's clock follows it as it is played, the player bar's key
seeks, and a shot through the page matches talvenor's. An engine that is not installed
is skipped with a message (scripts/setup.sh --web installs both).

    web_engines_test.py BUILD_FOLDER        (exit 77: no site built, skipped)
"""
import array
import base64
import json
import os
import re
import subprocess
import sys
import tempfile
import threading
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from page_test_main import build_and_site  # noqa: E402
import marionette  # noqa: E402
import png_pictures  # noqa: E402
import sound_checks  # noqa: E402
from private_pulse import PrivatePulse  # noqa: E402
from site_server import Site  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
BUILD, SITE = build_and_site()
SHOT_S = "30"

# Where the song stands against the audio clock and the wall, over three
# seconds once it plays: [song ms, audio ms, wall ms, ms the worklet played
# silence because its queue ran dry] at both ends, the times it ran dry, and
# why the output timestamps were given up ('' if not).
CLOCK_PACE = """new Promise((resolve) => {
    const song = Module.sorvanelSong;
    const at = () => [song.timeMs(), songContext.currentTime * 1000, performance.now(),
                      song.gaps()[1] * 1000 / songContext.sampleRate];
    const start = at();
    setTimeout(() => resolve([start, at(), song.gaps()[0], song.heardClock.why]), 3000); })"""
# The same read at one moment (Firefox's is measured from outside the page).
CLOCK_AT = ("[Module.sorvanelSong.timeMs(), songContext.currentTime * 1000, performance.now(),"
            " Module.sorvanelSong.gaps()[1] * 1000 / songContext.sampleRate,"
            " Module.sorvanelSong.gaps()[0], Module.sorvanelSong.heardClock.why]")
RATE = 44100


def native_capture(folder, start, end):
    path = os.path.join(folder, "song.s16")
    run = subprocess.run([os.path.join(BUILD, "talvenor"), "--capture", path, "--from", str(start),
                          "--to", str(end)], cwd=BUILD, capture_output=True, text=True, timeout=300)
    if run.returncode != 0:
        raise AssertionError("talvenor --capture: " + run.stderr)
    return sound_checks.read_s16(path)


PLAYING = "Module.sorvanelSong && Module.sorvanelSong.timeMs() >= 15000"
MESSAGE = ("!document.getElementById('message').hidden && "
           "document.getElementById('message-text').textContent + ' ' + "
           "document.getElementById('message-detail').textContent")


class SinkRecorder:
    """parec on the private sink's monitor, read on a thread of its own."""

    def __init__(self, server):
        self.proc = subprocess.Popen(
            ["parec", "-s", server, "-d", "bench.monitor", "--format=s16le", "--rate=44100",
             "--channels=2", "--latency-msec=10", "--raw"], stdout=subprocess.PIPE)
        self.data = bytearray()
        self.started = threading.Event()
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()

    def _read(self):
        while True:
            chunk = self.proc.stdout.read1(65536)
            if not chunk:
                return
            self.data += chunk
            self.started.set()

    def close(self):
        """Stops it; what it recorded, as 16-bit samples."""
        self.proc.terminate()
        self.proc.wait()
        self.thread.join(timeout=10)
        self.proc.stdout.close()
        heard = array.array("h")
        heard.frombytes(bytes(self.data[: len(self.data) - len(self.data) % 2]))
        return heard


def webkit_version():
    run = subprocess.run(["/usr/bin/python3", "-c", "import gi; gi.require_version('WebKit2', '4.1')"],
                         capture_output=True)
    return run.returncode == 0


class EngineTest:
    """What each engine's test does; run_steps is the engine's."""
    site = None
    pulse = None

    @classmethod
    def setUpClass(cls):
        cls.site = Site(SITE)
        cls.pulse = PrivatePulse()
        os.environ["PULSE_SERVER"] = cls.pulse.server

    @classmethod
    def tearDownClass(cls):
        cls.site.close()
        cls.pulse.close()

    def assertSoundAndClock(self, playing_or_message, pace):
        """The clock follows the song as the audio clock plays it, and the
        audio clock runs (against the wall it may fall behind on a loaded
        machine, which starves the browser's audio thread: the clock rightly
        follows what is played). Where the worklet's queue ran dry the audio
        clock ran on over silence while the song rightly held: that silence
        counts with the song."""
        self.assertIsInstance(playing_or_message, bool, "the page said: %s" % playing_or_message)
        (song0, audio0, wall0, dry0), (song1, audio1, wall1, dry1), gaps, why = pace
        against_audio = (song1 - song0 + dry1 - dry0) / (audio1 - audio0)
        audio_pace = (audio1 - audio0) / (wall1 - wall0)
        print("%s: song clock and dry silence against the audio clock %.4f, audio clock against"
              " the wall %.3f over %.0f ms, worklet ran dry %d times (%.0f ms), output"
              " timestamps %s" % (self.engine, against_audio, audio_pace, wall1 - wall0, gaps,
                                  dry1 - dry0, "given up: " + why if why else "used"))
        self.assertAlmostEqual(against_audio, 1.0, delta=0.05)
        self.assertGreater(audio_pace, 0.5)  # sounding, not held

    def assertHeardIsNative(self, heard, recorded_from_ms):
        """The sink played the native song: half a second of talvenor's
        capture, from where the clock stood as the recording began, or from
        half a second or a second later, is found in what was recorded.
        Where the browser's sound process missed its callbacks on a loaded
        machine the sink played holes, which delay the song and break the
        window they fall in (their count is a benchmark's:
        bench/web/web_sound_bench.py)."""
        self.assertGreater(len(heard) // 2, RATE,
                           "the sink's recording: %d frames" % (len(heard) // 2))
        with tempfile.TemporaryDirectory() as folder:
            native = native_capture(folder, 14, 21)
        offset = max(0, int((recorded_from_ms - 14000) * RATE // 1000))
        found = []
        for later in (0, RATE // 2, RATE):
            correlation, lag = sound_checks.best_match(heard, native[2 * (offset + later):],
                                                       len(heard) // 2, RATE // 2)
            found.append((correlation, lag - later))
        correlation, lag = max(found)
        print("%s: %.1f s recorded from the sink; the song from %.3f s found %.0f ms in,"
              " correlation %.4f (the three windows: %s)"
              % (self.engine, len(heard) / 2 / RATE, recorded_from_ms / 1000, 1000 * lag / RATE,
                 correlation, ", ".join("%.4f" % c for c, _ in found)))
        self.assertGreater(correlation, 0.9)

    def assertShotIsTalvenors(self, data_url):
        talvenor = os.path.join(BUILD, "talvenor")
        if not os.access(talvenor, os.X_OK):
            self.skipTest("no talvenor in %s to compare with: cmake --build %s" % (BUILD, BUILD))
        match = re.match(r"data:image/png;base64,(.*)$", data_url or "")
        self.assertIsNotNone(match, "no shot: %r" % data_url)
        with tempfile.TemporaryDirectory() as folder:
            native = os.path.join(folder, "native.png")
            run = subprocess.run([talvenor, "--shot", SHOT_S, native, "--size", "320x240"],
                                 cwd=BUILD, capture_output=True, text=True, timeout=120)
            self.assertEqual(run.returncode, 0, run.stderr)
            with open(native, "rb") as f:
                mean, far = png_pictures.compare(png_pictures.read_png(f.read()),
                                                 png_pictures.read_png(base64.b64decode(match.group(1))))
        print("%s: shot at %s s against talvenor's: mean %.3f, %.3f%% far off"
              % (self.engine, SHOT_S, mean, 100 * far))
        self.assertTrue(png_pictures.within_golden_tolerance(mean, far), (mean, far))


@unittest.skipUnless(marionette.version(), "no Firefox ESR (%s): scripts/setup.sh --web"
                     % marionette.FIREFOX)
class InFirefox(EngineTest, unittest.TestCase):
    engine = "Firefox"

    def setUp(self):
        self.firefox = marionette.Firefox(deadline=300)
        print("%s, %s" % (marionette.version(), self.firefox.capabilities.get("platformName")))

    def tearDown(self):
        self.firefox.close()

    def test_a_click_starts_the_song_heard_the_clock_follows_and_the_bar_seeks(self):
        page = self.firefox
        page.open(self.site.base + "index.html?start=14&controls&window=320x240")
        page.wait_until("document.getElementById('dialog').hidden === false", 120)
        page.click("#start")
        state = page.wait_until("(%s) ? true : (%s)" % (PLAYING, MESSAGE), 120)
        self.assertIsInstance(state, bool, "the page said: %s" % state)
        # What the sink plays, recorded while the clock is measured: parec's
        # output read as it comes in short fragments (a pipe left unread
        # fills in a third of a second and parec stops there, and parec's
        # default fragments are seconds long). The song's clock is read once
        # the first fragment has come, so that the recording holds that
        # moment: on a loaded machine parec may take a while to connect.
        recorder = SinkRecorder(self.pulse.server)
        try:
            self.assertTrue(recorder.started.wait(60), "parec recorded nothing")
            recorded_from_ms = page.evaluate("Module.sorvanelSong.timeMs()")
            self.assertSoundAndClock(state, page.measure_over(CLOCK_AT, 3000))
        finally:
            heard = recorder.close()
        self.assertHeardIsNative(heard, recorded_from_ms)
        # The player bar's key: five seconds on.
        before = page.evaluate("Module.sorvanelSong.timeMs()")
        page.send_keys("#canvas", "\ue014")
        after = page.wait_until("Module.sorvanelSong.timeMs() >= %d && Module.sorvanelSong.timeMs()"
                                % (before + 4000), 60)
        print("Firefox: the bar's key took the song from %.1f s to %.1f s"
              % (before / 1000, after / 1000))
        self.assertLess(after, before + 8000)  # five on, not to the end

    def test_a_shot_is_talvenors(self):
        page = self.firefox
        page.open(self.site.base + "index.html?shot=%s&size=320x240" % SHOT_S)
        title = page.wait_until("/^(shot ready|error)/.test(document.title) && document.title", 120)
        self.assertEqual(title, "shot ready")
        self.assertShotIsTalvenors(page.evaluate("document.getElementById('shot').src"))


@unittest.skipUnless(webkit_version(), "no WebKitGTK (gir1.2-webkit2-4.1 with python3-gi):"
                     " scripts/setup.sh --web")
class InWebKitGTK(EngineTest, unittest.TestCase):
    engine = "WebKitGTK"

    def run_steps(self, url, steps, on_mark=None):
        """The steps' results; on_mark(name) is called as each "mark" step
        is reached."""
        run = subprocess.Popen(["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", "/usr/bin/python3",
                                os.path.join(HERE, "webkit_page.py"), url, json.dumps(steps)],
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        timer = threading.Timer(300, run.kill)
        timer.start()
        lines = []
        try:
            for line in run.stdout:
                if line.startswith('{"mark"') and on_mark:
                    on_mark(json.loads(line)["mark"])
                elif line.startswith("{"):
                    lines.append(line)
            stderr = run.stderr.read()
            run.wait()
        finally:
            timer.cancel()
        self.assertTrue(lines, "webkit_page.py said nothing: %s" % stderr[-2000:])
        answer = json.loads(lines[-1])
        print("WebKitGTK %s" % answer["version"])
        self.assertNotIn("error", answer, answer.get("error"))
        return answer["results"]

    def test_a_click_starts_the_song_heard_the_clock_follows_and_the_bar_seeks(self):
        recorders = []
        try:
            results = self.run_steps(
                self.site.base + "index.html?start=14&controls&window=320x240",
                [["wait", "document.getElementById('dialog').hidden === false", 120],
                 ["click", "#start"],
                 ["wait", "(%s) ? true : (%s)" % (PLAYING, MESSAGE), 120],
                 ["mark", "recording"],
                 ["eval", CLOCK_PACE],
                 # The player bar's key: five seconds on.
                 ["eval", "window.__beforeSeek = Module.sorvanelSong.timeMs()"],
                 ["key", "Right"],
                 ["wait", "Module.sorvanelSong.timeMs() >= window.__beforeSeek + 4000 &&"
                          " Module.sorvanelSong.timeMs()", 60]],
                on_mark=lambda name: recorders.append(SinkRecorder(self.pulse.server)))
        finally:
            heard = recorders[0].close() if recorders else array.array("h")
        self.assertSoundAndClock(results[2], results[4])
        # The clock as the recording began (parec connects in a moment).
        (song0, _, _, _), _, _, _ = results[4]
        self.assertHeardIsNative(heard, song0)
        print("WebKitGTK: the bar's key took the song from %.1f s to %.1f s"
              % (results[5] / 1000, results[7] / 1000))
        self.assertLess(results[7], results[5] + 8000)  # five on, not to the end

    def test_a_shot_is_talvenors(self):
        results = self.run_steps(
            self.site.base + "index.html?shot=%s&size=320x240" % SHOT_S,
            [["wait", "/^(shot ready|error)/.test(document.title) && document.title", 120],
             ["eval", "document.getElementById('shot').src"]])
        self.assertEqual(results[0], "shot ready")
        self.assertShotIsTalvenors(results[1])


if __name__ == "__main__":
    if not os.path.exists(os.path.join(SITE, "sorvanel.wasm")):
        print("no site in %s: cmake --build %s --target web" % (SITE, BUILD))
        sys.exit(77)
    if not marionette.version() and not webkit_version():
        print("neither Firefox ESR nor WebKitGTK is installed: scripts/setup.sh --web")
        sys.exit(77)
    unittest.main(verbosity=2)
