#!/usr/bin/python3
"""How fast the page starts, in headless Chromium (WebGL 2 on SwiftShader)
and in WebKitGTK where it is installed (in a window under Xvfb, on Mesa),
both with their sound into a private PulseAudio sink, over a few loads of
the site served from 127.0.0.1: page open to the form, the form's click to the show's first frame
and to its first sound (the worklet's first report of song frames handed to
the output), and the bytes fetched. The aim: the first frame under 1 s after
the click, once the page has loaded.

    web_start_bench.py [BUILD [loads [start seconds]]]     (build/, 3, 14)
"""
import json
import os
import statistics
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "web"))
import browser  # noqa: E402
from private_pulse import PrivatePulse  # noqa: E402
from site_server import Site  # noqa: E402

WEBKIT_PAGE = os.path.join(HERE, "..", "..", "tests", "web", "webkit_page.py")
PROGRAM_STARTED = "typeof Module !== 'undefined' && Module.calledRun"

# In the page before its own scripts: the moments that matter, in ms of
# performance.now() (0 at the navigation's start).
MOMENTS = r"""
window.__start = {};
addEventListener('mousedown', () => { __start.click = performance.now(); }, true);
const __startWatch = setInterval(() => {
  const now = performance.now();
  const dialog = document.getElementById('dialog');
  if (!__start.form && dialog && !dialog.hidden) __start.form = now;
  if (!__start.frame && /event \d+\/91/.test(document.title)) __start.frame = now;
  const song = typeof Module !== 'undefined' && Module.sorvanelSong;
  if (!__start.sound && song && song.report && song.report.handed > 0) __start.sound = now;
  if (__start.sound) clearInterval(__startWatch);
}, 5);
"""
BYTES = """[performance.getEntriesByType('navigation'), performance.getEntriesByType('resource')]
    .flat().reduce((sum, e) => sum + (e.transferSize || e.encodedBodySize || 0), 0)"""


def chromium_version():
    run = subprocess.run([browser.CHROMIUM, "--version"], capture_output=True, text=True, timeout=60)
    return run.stdout.strip()


def figures(moments, fetched):
    return (moments["form"], moments["frame"] - moments["click"],
            moments["sound"] - moments["click"], fetched)


def chromium_start(site, start_s, after_load):
    page = browser.Browser(deadline=300)
    try:
        page.run_before_pages(MOMENTS)
        page.open(site.base + "index.html?start=%g&controls&window=640x480" % start_s, r".")
        page.wait_until("window.__start.form")
        if after_load:
            page.wait_until(PROGRAM_STARTED)
        page.click("#start")
        page.wait_until("window.__start.sound", 120)
        return figures(page.evaluate("window.__start"), page.evaluate(BYTES))
    finally:
        page.close()


def webkit_start(site, start_s, after_load):
    """The same in WebKitGTK, in a window on an X screen of its own with its
    sound into a private PulseAudio sink, clicked for real (xdotool)."""
    steps = [["before", MOMENTS], ["wait", "window.__start.form", 120]]
    if after_load:
        steps.append(["wait", PROGRAM_STARTED, 120])
    steps += [["click", "#start"], ["wait", "window.__start.sound", 120],
              ["eval", "window.__start"], ["eval", BYTES]]
    run = subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", "/usr/bin/python3",
                          WEBKIT_PAGE, site.base + "index.html?start=%g&controls&window=640x480"
                          % start_s, json.dumps(steps)], capture_output=True, text=True, timeout=600)
    lines = [line for line in run.stdout.splitlines() if line.startswith("{")]
    answer = json.loads(lines[-1]) if lines else {"error": run.stderr[-2000:]}
    if "error" in answer:
        raise RuntimeError("WebKitGTK: " + answer["error"])
    return figures(answer["results"][-2], answer["results"][-1])


def webkit_version():
    run = subprocess.run(["/usr/bin/python3", "-c", "import gi; gi.require_version('WebKit2', '4.1');"
                          " from gi.repository import WebKit2; print('WebKitGTK %d.%d.%d' % ("
                          "WebKit2.get_major_version(), WebKit2.get_minor_version(),"
                          " WebKit2.get_micro_version()))"], capture_output=True, text=True)
    return run.stdout.strip() if run.returncode == 0 else None


def report(engine, start, site, start_s, loads):
    for after_load, how in ((False, "clicked as soon as the form shows"),
                            (True, "clicked once the program has started")):
        runs = [start(site, start_s, after_load) for _ in range(loads)]
        print("%s, %s:" % (engine, how))
        for i, what in enumerate(("page open to the form", "click to first frame",
                                  "click to first sound")):
            values = [r[i] for r in runs]
            print("  %-22s %7.0f ms  (%s)" % (what, statistics.median(values),
                                              ", ".join("%.0f" % v for v in values)))
        print("  %-22s %7.2f MB" % ("bytes fetched", statistics.median(r[3] for r in runs) / 1e6))


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    loads = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    start_s = float(sys.argv[3]) if len(sys.argv) > 3 else 14.0
    folder = os.path.join(build, "web")
    if not os.path.exists(os.path.join(folder, "sorvanel.wasm")):
        sys.exit("no site in %s: cmake --build %s --target web" % (folder, build))
    site = Site(folder)
    pulse = PrivatePulse()
    os.environ["PULSE_SERVER"] = pulse.server
    try:
        print("start at %g s, median of %d loads (each load's figures in brackets)"
              % (start_s, loads))
        report(chromium_version(), chromium_start, site, start_s, loads)
        version = webkit_version()
        if version:
            report(version, webkit_start, site, start_s, loads)
        else:
            print("no WebKitGTK (gir1.2-webkit2-4.1 with python3-gi): scripts/setup.sh --web")
    finally:
        site.close()
        pulse.close()


if __name__ == "__main__":
    main()
