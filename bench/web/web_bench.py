#!/usr/bin/python3
"""The web build's figures, in headless Chromium (WebGL 2 on SwiftShader)
against the site of a native build served from 127.0.0.1:

  - the site's size by file, and all of it but the song (data/Sorvanel.it.gz);
  - page open to the first frame of the show (start 0, no sound, no
    dialog), the median of a few loads;
  - frames per second of the live page at 640x480 at the scenes subset_bench
    times, beside native llvmpipe's: subset_bench's wall time per frame through
    desktop GL and through the GL subset, when that build has subset_bench
    (SORVANEL_BENCH on) and the ES3 build it draws the subset's way is there
    (build-es3/ beside the source unless SORVANEL_ES3_BUILD_DIR names another);
    otherwise a note says which is missing and how to make it, and the native
    columns show "-".

    web_bench.py [BUILD [seconds per scene]]     (build/, 3 s)
"""
import os
import re
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "web"))
import browser  # noqa: E402
from site_server import Site  # noqa: E402

# subset_bench's scenes: one of each kind, at the song second it draws.
SCENES = [("burst", 0.5), ("credits_at_rest", 14.25), ("title", 16.5), ("trails", 17.2),
          ("figure_a", 30.0), ("text_scene", 60.0), ("swarm", 135.0), ("circle_b", 370.0),
          ("triple_swarm", 1370.0)]
LOADS = 3


def site_sizes(site):
    sizes = []
    for folder, _, files in os.walk(site):
        for name in files:
            path = os.path.join(folder, name)
            sizes.append((os.path.relpath(path, site), os.path.getsize(path)))
    song = sum(size for name, size in sizes if name.startswith(os.path.join("data", "Sorvanel.it")))
    print("site %s:" % site)
    for name, size in sorted(sizes, key=lambda s: -s[1]):
        print("  %-28s %10d bytes" % (name, size))
    total = sum(s for _, s in sizes)
    print("  all but the song: %.2f MB; all: %.2f MB" % ((total - song) / 1e6, total / 1e6))


def first_frame_seconds(site):
    """Navigation to the first show frame: the title the controls set after it."""
    times = []
    for _ in range(LOADS):
        page = browser.Browser(deadline=300)
        try:
            start = time.monotonic()
            page.open(site.base + "index.html?nosound&nodialog&controls", r"event \d+/91")
            times.append(time.monotonic() - start)
        finally:
            page.close()
    print("page open to first show frame: median %.2f s (%s)"
          % (statistics.median(times), ", ".join("%.2f" % t for t in times)))


def browser_fps(site, seconds_at, seconds):
    page = browser.Browser(deadline=300)
    try:
        page.open(site.base + "index.html?start=%g&nosound&nodialog&window=640x480&controls"
                  % seconds_at, r"event \d+/91")
        frames, wall = page.evaluate("""
            new Promise((resolve) => {
                const wall0 = performance.now();
                let frames = 0;
                const tick = () => {
                    ++frames;
                    const wall = performance.now() - wall0;
                    if (wall >= %d) resolve([frames, wall]); else requestAnimationFrame(tick);
                };
                requestAnimationFrame(tick);
            })""" % (seconds * 1000), await_promise=True)
        return frames * 1000.0 / wall
    finally:
        page.close()


def cache_value(build, name):
    """A setting from the build's CMakeCache.txt, or "" where it has none."""
    try:
        with open(os.path.join(build, "CMakeCache.txt")) as cache:
            for line in cache:
                if line.startswith(name + ":"):
                    return line.split("=", 1)[1].strip()
    except OSError:
        pass
    return ""


def native_missing(build):
    """Why the native columns stay empty, with the command that fills them, or
    None when subset_bench and the ES3 build it draws through are both there."""
    program = os.path.join(build, "bench", "subset_bench")
    source = (cache_value(build, "CMAKE_HOME_DIRECTORY")
              or os.path.normpath(os.path.join(HERE, "..", "..")))
    if not os.access(program, os.X_OK):
        return ("no %s: the native columns need subset_bench, which a desktop build makes with"
                " -DSORVANEL_BENCH=ON (the default): cmake -S %s -B %s -DSORVANEL_BENCH=ON &&"
                " cmake --build %s -j2 --target subset_bench" % (program, source, build, build))
    # Where subset_bench looks for the ES3 build (bench/meshes/CMakeLists.txt).
    es3 = cache_value(build, "SORVANEL_ES3_BUILD_DIR") or os.path.join(source, "build-es3")
    needed = [os.path.join(es3, name) for name in ("sorvanel.dmd", "libsorvanel_gl.so")]
    if not all(os.path.exists(path) for path in needed):
        return ("no ES3 build in %s: subset_bench draws each scene through desktop GL and"
                " through the GL subset of an ES3 build, and without one it measures neither."
                " Make it with: cmake -S %s -B %s -DSORVANEL_GL=ES3 && cmake --build %s -j2"
                % (es3, source, es3, es3))
    return None


def native_fps(build, scene, seconds):
    """llvmpipe's frames per second through desktop GL and through the GL
    subset (subset_bench's wall time per frame), or subset_bench's own words
    where it measured nothing."""
    program = os.path.join(build, "bench", "subset_bench")
    run = subprocess.run([program, str(seconds), "", "640x480", scene], capture_output=True,
                         text=True, timeout=600)
    # "scene  song s  desktop-cpu ( desktop-wall )  subset-cpu ( subset-wall )  ratio"
    match = re.search(r"^%s\s+\S+\s+\S+\s+\(\s*([0-9.]+)\)\s+\S+\s+\(\s*([0-9.]+)\)"
                      % re.escape(scene), run.stdout, re.M)
    if match:
        return 1000.0 / float(match.group(1)), 1000.0 / float(match.group(2))
    said = (run.stdout + run.stderr).strip().splitlines()
    return "subset_bench exited with %d: %s" % (run.returncode, said[-1] if said else "no output")


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 3.0
    folder = os.path.join(build, "web")
    if not os.path.exists(os.path.join(folder, "sorvanel.wasm")):
        sys.exit("no site in %s: cmake --build %s --target web" % (folder, build))
    site_sizes(folder)
    site = Site(folder)
    try:
        first_frame_seconds(site)
        print("frames per second at 640x480, %g s per scene. browser: the live page's animation"
              " frames (SwiftShader); native: subset_bench's wall time per frame on llvmpipe,"
              " desktop GL and GL subset" % seconds)
        missing = native_missing(build)
        if missing:
            print("note: native columns left empty (-): " + missing)
        print("%-16s %8s %9s %9s %9s" % ("scene", "song s", "browser", "desktop", "subset"))
        failures = []
        for scene, at in SCENES:
            web = browser_fps(site, at, seconds)
            native = ("-", "-")
            if not missing:
                measured = native_fps(build, scene, min(seconds, 1.0))
                if isinstance(measured, str):
                    failures.append("%s: %s" % (scene, measured))
                else:
                    native = measured
            print("%-16s %8.2f %9.1f %9s %9s" % (scene, at, web, *[
                "%.1f" % n if isinstance(n, float) else n for n in native]))
        for failure in failures:
            print("note: native columns left empty (-) for " + failure)
    finally:
        site.close()


if __name__ == "__main__":
    main()
