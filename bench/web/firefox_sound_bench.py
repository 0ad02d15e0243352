#!/usr/bin/python3
"""The page's song as a listener hears it in Firefox ESR: the same
measures as web_sound_bench.py gives Chromium (gaps, the recording against
the native song, the page's clock minus the song time the sink plays), with
Firefox in a window under Xvfb driven over Marionette (tests/web/
marionette.py), its sound into a private PulseAudio null sink whose monitor
is recorded; quiet, then with `stress-ng --cpu 2` beside the browser. Also
what the page's heard clock made of Firefox's answers: the latency it uses
and why its output timestamps were not used.

    firefox_sound_bench.py [BUILD [seconds [start]]]     (build/, 20 s, 10 s)
"""
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "web"))
sys.path.insert(0, HERE)
import marionette  # noqa: E402
from private_pulse import PrivatePulse  # noqa: E402
from site_server import Site  # noqa: E402
from web_sound_bench import Recorder, clock_offset, report  # noqa: E402


def run(site, build, seconds, start, load):
    pulse = PrivatePulse()
    stress = subprocess.Popen(["stress-ng", "--cpu", "2", "--quiet"]) if load else None
    os.environ["PULSE_SERVER"] = pulse.server
    recorder = Recorder(pulse.server)
    # Firefox's own latency answers, not the tests' fixed 25 ms (see
    # marionette.PREFERENCES): the page asks rarely, but a run may still
    # stall on Firefox's lock, and ends at the deadline.
    page = marionette.Firefox(deadline=seconds + 150,
                              preferences={"privacy.fingerprintingProtection": False})
    try:
        page.open(site.base + "index.html?start=%g&controls&window=640x480" % start)
        page.wait_until("document.getElementById('dialog').hidden === false", 120)
        clicked = time.monotonic()
        page.click("#start")
        page.wait_until("Module.sorvanelSong instanceof WorkletSong && "
                        "Module.sorvanelSong.report && Module.sorvanelSong.report.handed > 0", 120)
        first_sound = time.monotonic() - clicked
        offset = clock_offset(page)
        samples = page.evaluate_async("""new Promise((resolve) => {
            const out = [], end = performance.now() + %d;
            const tick = () => {
                out.push([performance.now(), Module.sorvanelSong.timeMs()]);
                if (performance.now() < end) setTimeout(tick, 50); else resolve(out);
            };
            tick(); })""" % (seconds * 1000))
        worklet_gaps = page.evaluate("Module.sorvanelSong.gaps()")
        latency, why, base = page.evaluate(
            "[Module.sorvanelSong.heardClock.latency, Module.sorvanelSong.heardClock.why,"
            " songContext.baseLatency]")
    finally:
        page.close()
        recorder.close()
        if stress:
            stress.terminate()
            stress.wait()
        pulse.close()
    report(build, start, seconds, recorder, samples, offset, worklet_gaps)
    print("  heard clock: rendering position less %.1f ms (baseLatency %s); output timestamps"
          " %s" % (1000 * latency, base, "not used: " + why if why else "used"))
    print("  click to first sound %.2f s" % first_sound)


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 20.0
    start = float(sys.argv[3]) if len(sys.argv) > 3 else 10.0
    folder = os.path.join(build, "web")
    if not os.path.exists(os.path.join(folder, "sorvanel.js")):
        sys.exit("no site in %s: cmake --build %s --target web" % (folder, build))
    if not marionette.version():
        sys.exit("no Firefox ESR (%s): scripts/setup.sh --web" % marionette.FIREFOX)
    site = Site(folder)
    try:
        for load in (False, True):
            print("%s, %g s from %g s:" % ("with stress-ng --cpu 2" if load else "quiet", seconds,
                                           start))
            run(site, build, seconds, start, load)
    finally:
        site.close()


if __name__ == "__main__":
    main()
