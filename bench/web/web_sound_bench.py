#!/usr/bin/python3
"""The page's song as a listener hears it, in each engine installed:
Chromium, WebKitGTK and Firefox ESR, each with a window under Xvfb, play
the live show with sound into a private PulseAudio null sink, whose monitor
is recorded (parec) while the show runs; quiet, then with `stress-ng --cpu
2` beside the browser. For each run:

  - silent gaps over 5 ms per minute, and the song time they cost;
  - the recording against the native song (talvenor --capture FILE.s16 of
    the same stretch): correlation in half-second windows (the worst, and
    how many fall under 0.99);
  - the page's clock (the song time heard, Module.sorvanelSong.timeMs())
    minus the song time the sink plays at that instant: median, p5, p95
    (the monitor's own recording latency, about 10 ms, counts against it);
  - the audio thread's share of a processor (Chromium's audio service
    process, or the renderer where it runs the audio);
  - page open to the first frame and to the first sound (Chromium), what
    the page's heard clock made of the engine's answers (Firefox);
  - beside it, the control: a plain AudioWorklet sine page in the same
    browser, recorded the same way, and the gaps over 5 ms it gets.

    web_sound_bench.py [BUILD [seconds [start]]]     (build/, 30 s, 10 s)
"""
import array
import json
import os
import statistics
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "web"))
import browser  # noqa: E402
import marionette  # noqa: E402
import sound_checks  # noqa: E402
from private_pulse import PrivatePulse  # noqa: E402
from site_server import Site  # noqa: E402

WEBKIT_PAGE = os.path.join(HERE, "..", "..", "tests", "web", "webkit_page.py")

RATE = 44100


class Recorder:
    """The sink's monitor, with the monotonic time each chunk came in."""

    def __init__(self, server):
        self.proc = subprocess.Popen(
            ["parec", "-s", server, "-d", "bench.monitor", "--format=s16le", "--rate=44100",
             "--channels=2", "--latency-msec=10", "--raw"], stdout=subprocess.PIPE)
        self.samples = array.array("h")
        self.arrivals = []  # (frames recorded so far, monotonic seconds)
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()

    def _read(self):
        while True:
            data = self.proc.stdout.read1(4096) if hasattr(self.proc.stdout, "read1") \
                else self.proc.stdout.read(4096)
            if not data:
                return
            now = time.monotonic()
            chunk = array.array("h")
            chunk.frombytes(data[: len(data) - len(data) % 2])
            self.samples.extend(chunk)
            self.arrivals.append((len(self.samples) // 2, now))

    def close(self):
        self.proc.terminate()
        self.thread.join(timeout=5)

    def frame_at(self, t):
        """The recording frame being played at monotonic time t."""
        for frames, arrived in self.arrivals:
            if arrived >= t:
                return frames - (arrived - t) * RATE
        return None


def cpu_seconds(pids):
    total = 0.0
    for pid in pids:
        try:
            with open("/proc/%d/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            total += (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
        except OSError:
            pass
    return total


def audio_pids():
    """Chromium's audio service processes."""
    out = subprocess.run(["pgrep", "-f", "chromium.*AudioService"], capture_output=True, text=True)
    return [int(p) for p in out.stdout.split()]


def clock_offset(page):
    """monotonic - performance.now()/1000 (sound_checks.clock_offset)."""
    return sound_checks.clock_offset(lambda: page.evaluate("performance.now()"))


def align(recording, reference):
    """The recording frame of reference frame 0: the first sounding frames
    of both lined up."""
    def first_sound(s):
        for i in range(0, len(s) // 2):
            if s[2 * i] or s[2 * i + 1]:
                return i
        return None
    r, f = first_sound(recording), first_sound(reference)
    return None if r is None or f is None else r - f


def mono(samples, at, frames, step=1):
    return [samples[2 * i] + samples[2 * i + 1] for i in range(at, at + frames, step)]


def best_lag(recording, reference, start, guess, window):
    """The recording frame of reference frame `start` near `guess` (within
    0.2 s): the lag of the best correlation, coarse on every 8th frame, then
    fine around it."""
    ref = mono(reference, start, window, 8)
    best = (-2.0, guess)
    for lag in range(guess - 8832, guess + 8833, 64):
        if lag < 0 or 2 * (lag + window) > len(recording):
            continue
        best = max(best, (sound_checks.correlation(mono(recording, lag, window, 8), ref), lag))
    ref = mono(reference, start, 4096)
    coarse = best[1]
    for lag in range(coarse - 64, coarse + 65, 4):
        if lag < 0 or 2 * (lag + 4096) > len(recording):
            continue
        best = max(best, (sound_checks.correlation(mono(recording, lag, 4096), ref), lag))
    return best[1]


def analyse(recording, reference, shift):
    """Song gaps (silent runs over 5 ms where the song sounds) and
    half-second correlations, each window lined up anew where the running
    alignment no longer fits (a dropout may lose song or only delay it)."""
    window = RATE // 2
    correlations = []
    ref_frames = len(reference) // 2
    lag = shift
    for start in range(0, ref_frames - window, window):
        if 2 * (lag + start + window) > len(recording):
            break
        c = sound_checks.correlation(mono(recording, lag + start, window),
                                     mono(reference, start, window))
        if c < 0.99:
            lag = best_lag(recording, reference, start, lag + start, window) - start
            if 2 * (lag + start + window) > len(recording):
                break
            c = sound_checks.correlation(mono(recording, lag + start, window),
                                         mono(reference, start, window))
        correlations.append(c)
    end = lag + ref_frames
    gaps = []
    for first, frames in sound_checks.silent_gaps(recording[2 * shift: 2 * min(end, len(recording) // 2)]):
        # Where the song itself is (nearly) silent, so is the recording.
        song_at = first - (lag - shift) if first > frames else first
        loud = max((abs(v) for v in reference[2 * max(0, song_at - frames): 2 * (song_at + frames)]),
                   default=0)
        if loud > 64:
            gaps.append((first, frames))
    return gaps, correlations


SAMPLE_CLOCK = """new Promise((resolve) => {
    const out = [], end = performance.now() + %d;
    const tick = () => {
        out.push([performance.now(), Module.sorvanelSong.timeMs()]);
        if (performance.now() < end) setTimeout(tick, 50); else resolve(out);
    };
    tick(); })"""
SOUNDING = ("Module.sorvanelSong instanceof WorkletSong && "
            "Module.sorvanelSong.report && Module.sorvanelSong.report.handed > 0")


class Played:
    """What a browser gave: the page's clock sampled [[performance.now(),
    song ms]], monotonic - performance.now()/1000, the worklet's gaps, and
    the start's figures where that browser's driver can time them."""

    def __init__(self, samples, offset, worklet_gaps, cpu=None, first_frame=None,
                 first_sound=None, notes=()):
        self.samples, self.offset, self.worklet_gaps = samples, offset, worklet_gaps
        self.cpu, self.first_frame, self.first_sound = cpu, first_frame, first_sound
        self.notes = notes  # more lines to print, the engine's own


def play_in_chromium(site, seconds, start):
    page = browser.Browser(deadline=seconds + 300, autoplay=True, xvfb=True)
    try:
        opened = time.monotonic()
        page.open(site.base + "index.html?start=%g&nodialog&controls&window=640x480" % start,
                  r"event \d+/91")
        first_frame = time.monotonic() - opened
        page.wait_until(SOUNDING)
        first_sound = time.monotonic() - opened
        offset = clock_offset(page)
        pids = audio_pids()
        cpu0, wall0 = cpu_seconds(pids), time.monotonic()
        samples = page.evaluate(SAMPLE_CLOCK % (seconds * 1000), await_promise=True)
        cpu = ((cpu_seconds(pids) - cpu0) / (time.monotonic() - wall0), len(pids))
        return Played(samples, offset, page.evaluate("Module.sorvanelSong.gaps()"), cpu,
                      first_frame, first_sound)
    finally:
        page.close()


def play_in_webkit(site, seconds, start):
    """WebKitGTK in a window on an X screen of its own, the form's button
    clicked for real (xdotool)."""
    steps = [["wait", "document.getElementById('dialog').hidden === false", 120],
             ["click", "#start"], ["wait", SOUNDING, 120], ["clock_offset"],
             ["eval", SAMPLE_CLOCK % (seconds * 1000)], ["eval", "Module.sorvanelSong.gaps()"]]
    run = subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", "/usr/bin/python3",
                          WEBKIT_PAGE, site.base + "index.html?start=%g&controls&window=640x480"
                          % start, json.dumps(steps)], capture_output=True, text=True,
                         timeout=seconds + 600)
    lines = [line for line in run.stdout.splitlines() if line.startswith("{")]
    answer = json.loads(lines[-1]) if lines else {"error": run.stderr[-2000:]}
    if "error" in answer:
        raise RuntimeError("WebKitGTK: " + answer["error"])
    results = answer["results"]
    return Played(results[4], results[3], results[5])


def play_in_firefox(site, seconds, start):
    """Firefox ESR in a window under Xvfb, over Marionette, the form's button
    clicked for real, with Firefox's own latency answers (not the tests'
    fixed 25 ms, see marionette.PREFERENCES): the page asks rarely, but a run
    may still stall on Firefox's lock and end at the deadline."""
    page = marionette.Firefox(deadline=seconds + 150,
                              preferences={"privacy.fingerprintingProtection": False})
    try:
        page.open(site.base + "index.html?start=%g&controls&window=640x480" % start)
        page.wait_until("document.getElementById('dialog').hidden === false", 120)
        clicked = time.monotonic()
        page.click("#start")
        page.wait_until(SOUNDING, 120)
        first_sound = time.monotonic() - clicked
        offset = clock_offset(page)
        samples = page.evaluate_async(SAMPLE_CLOCK % (seconds * 1000))
        worklet_gaps = page.evaluate("Module.sorvanelSong.gaps()")
        latency, why, base = page.evaluate(
            "[Module.sorvanelSong.heardClock.latency, Module.sorvanelSong.heardClock.why,"
            " songContext.baseLatency]")
    finally:
        page.close()
    return Played(samples, offset, worklet_gaps, notes=[
        "heard clock: rendering position less %.1f ms (baseLatency %s); output timestamps %s"
        % (1000 * latency, base, "not used: " + why if why else "used"),
        "click to first sound %.2f s" % first_sound])


def run(site, build, seconds, start, play):
    pulse = PrivatePulse()
    os.environ["PULSE_SERVER"] = pulse.server
    recorder = Recorder(pulse.server)
    try:
        played = play(site, seconds, start)
    finally:
        recorder.close()
        pulse.close()
    samples, offset, worklet_gaps = played.samples, played.offset, played.worklet_gaps
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "song.s16")
        subprocess.run([os.path.join(build, "talvenor"), "--capture", path, "--from", str(start),
                        "--to", str(start + seconds + 30)], cwd=build, check=True,
                       capture_output=True)
        reference = sound_checks.read_s16(path)
    # Up to the page's last clock reading: after it the page is closed, and
    # the silence that leaves is no gap of the show's.
    last = recorder.frame_at(samples[-1][0] / 1000 + offset) if samples else None
    recording = recorder.samples if last is None else recorder.samples[: 2 * int(last)]
    shift = align(recording, reference)
    if shift is None:
        print("  no song in the recording")
        return
    gaps, correlations = analyse(recording, reference, shift)
    minutes = seconds / 60.0
    lost = sum(g[1] for g in gaps) / RATE
    # Picture minus heard: the page's clock against the reference frame the
    # sink played at that instant.
    offsets = []
    for now_ms, clock_ms in samples:
        frame = recorder.frame_at(now_ms / 1000 + offset)
        if frame is None:
            continue
        moved = sum(g[1] for g in gaps if shift + g[0] < frame)
        heard_ms = start * 1000 + (frame - shift - moved) * 1000.0 / RATE  # a dropout delays the song
        if heard_ms > start * 1000:
            offsets.append(clock_ms - heard_ms)
    offsets.sort()
    pct = lambda p: offsets[min(len(offsets) - 1, int(p * len(offsets)))] if offsets else float("nan")
    print("  gaps over 5 ms: %d (%.1f per minute), song time lost %.3f s; the worklet counted %d"
          " (%d frames)" % (len(gaps), len(gaps) / minutes, lost, *worklet_gaps))
    if gaps:
        print("  the gaps, s after the song's first sound and ms long: %s"
              % ", ".join("%.2f (%.0f)" % (first / RATE, 1000 * frames / RATE)
                          for first, frames in gaps))
    print("  correlation in 0.5 s windows: worst %.4f, %d of %d under 0.99"
          % (min(correlations or [float("nan")]), sum(c < 0.99 for c in correlations),
             len(correlations)))
    print("  page clock minus heard: median %+.1f ms (p5 %+.1f, p95 %+.1f), %d samples"
          % (statistics.median(offsets) if offsets else float("nan"), pct(0.05), pct(0.95),
             len(offsets)))
    if played.cpu:
        print("  audio service: %.1f%% of a processor (%d processes)"
              % (100 * played.cpu[0], played.cpu[1]))
    if played.first_frame is not None:
        print("  page open to first frame %.2f s, to first sound %.2f s"
              % (played.first_frame, played.first_sound))
    for note in played.notes:
        print("  " + note)


# The control: a plain AudioWorklet sine in the same browser, the same way
# recorded, so that the holes the browser's own output makes are told apart
# from the page's.
SINE_PAGE = b"""<!doctype html><title>loading</title>
<button id="start" style="width:200px;height:100px">Play</button><script>
const processor = `registerProcessor('sine', class extends AudioWorkletProcessor {
  constructor() { super(); this.phase = 0; }
  process(inputs, outputs) {
    const out = outputs[0];
    for (let i = 0; i < out[0].length; ++i) {
      const v = 0.25 * Math.sin(this.phase);
      this.phase = (this.phase + 2 * Math.PI * 440 / sampleRate) % (2 * Math.PI);
      for (const channel of out) channel[i] = v;
    }
    return true;
  } });`;
// Made at once (a browser that lets sound start without a gesture plays
// it so); the button resumes it where one is needed.
const context = new AudioContext({sampleRate: 44100, latencyHint: 'playback'});
const url = URL.createObjectURL(new Blob([processor], {type: 'text/javascript'}));
const playing = () => {
  if (context.state === 'running' && document.title === 'ready') document.title = 'playing';
};
context.onstatechange = playing;
document.getElementById('start').onclick = () => context.resume();
context.audioWorklet.addModule(url).then(() => {
  new AudioWorkletNode(context, 'sine', {outputChannelCount: [2]}).connect(context.destination);
  document.title = 'ready';
  playing();
});
</script>"""
PLAY_FOR = "new Promise((resolve) => setTimeout(() => resolve(document.title), %d))"


def sine_in_chromium(site, seconds):
    page = browser.Browser(deadline=seconds + 300, autoplay=True, xvfb=True)
    try:
        page.open(site.base + "index.html", r"ready|playing")
        page.click("#start")
        page.wait_until("document.title === 'playing'")
        page.evaluate(PLAY_FOR % (seconds * 1000), await_promise=True)
    finally:
        page.close()


def sine_in_webkit(site, seconds):
    steps = [["wait", "document.title !== 'loading'", 60], ["click", "#start"],
             ["wait", "document.title === 'playing'", 60], ["eval", PLAY_FOR % (seconds * 1000)]]
    subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", "/usr/bin/python3",
                    WEBKIT_PAGE, site.base + "index.html", json.dumps(steps)],
                   capture_output=True, timeout=seconds + 300, check=True)


def sine_in_firefox(site, seconds):
    page = marionette.Firefox(deadline=seconds + 150)
    try:
        page.open(site.base + "index.html")
        page.wait_until("document.title !== 'loading'", 60)
        page.click("#start")
        page.wait_until("document.title === 'playing'", 60)
        page.evaluate_async(PLAY_FOR % (seconds * 1000))
    finally:
        page.close()


def sine_control(seconds, play):
    pulse = PrivatePulse()
    os.environ["PULSE_SERVER"] = pulse.server
    recorder = Recorder(pulse.server)
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "index.html"), "wb") as f:
            f.write(SINE_PAGE)
        site = Site(folder)
        try:
            play(site, seconds)
        finally:
            recorder.close()
            site.close()
            pulse.close()
    recording = recorder.samples
    first = next((i // 2 for i, v in enumerate(recording) if abs(v) > 1000), None)
    if first is None:
        print("  sine control: no sound in the recording")
        return
    played = recording[2 * first: 2 * (first + int(seconds * RATE))]
    gaps = sound_checks.silent_gaps(played)
    print("  sine control (a plain AudioWorklet page, the same browser and load): gaps over 5 ms:"
          " %d (%.1f per minute)" % (len(gaps), len(gaps) / (seconds / 60.0)))


def webkit_installed():
    return subprocess.run(["/usr/bin/python3", "-c", "import gi; gi.require_version('WebKit2', '4.1')"],
                          capture_output=True).returncode == 0


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 30.0
    start = float(sys.argv[3]) if len(sys.argv) > 3 else 10.0
    folder = os.path.join(build, "web")
    if not os.path.exists(os.path.join(folder, "sorvanel.js")):
        sys.exit("no site in %s: cmake --build %s --target web" % (folder, build))
    engines = [("Chromium", play_in_chromium, sine_in_chromium)]
    if webkit_installed():
        engines.append(("WebKitGTK", play_in_webkit, sine_in_webkit))
    else:
        print("no WebKitGTK (gir1.2-webkit2-4.1 with python3-gi): scripts/setup.sh --web")
    if marionette.version():
        engines.append(("Firefox", play_in_firefox, sine_in_firefox))
    else:
        print("no Firefox ESR (%s): scripts/setup.sh --web" % marionette.FIREFOX)
    site = Site(folder)
    try:
        for engine, play, sine in engines:
            for load in (False, True):
                print("%s, %s, %g s from %g s:" % (engine, "with stress-ng --cpu 2" if load
                                                   else "quiet", seconds, start))
                stress = subprocess.Popen(["stress-ng", "--cpu", "2", "--quiet"]) if load else None
                try:
                    run(site, build, seconds, start, play)
                    sine_control(seconds, sine)
                finally:
                    if stress:
                        stress.terminate()
                        stress.wait()
    finally:
        site.close()


if __name__ == "__main__":
    main()
