#!/usr/bin/python3
"""One page in WebKitGTK (WebKit2 4.1 through python3-gi), for the web
build's tests in a third engine: a window filling the X screen it runs on
(run it under xvfb-run), the page loaded, and the steps given as JSON on the
command line run in order; what they give back is printed as one JSON line.

    webkit_page.py URL STEPS_JSON
    steps: ["before", SOURCE]                run in the page before its own scripts
                                            (only ahead of the other steps)
           ["wait", EXPRESSION, SECONDS]   wait for it to hold (checked every 20 ms)
           ["eval", EXPRESSION]            its value (a promise is awaited)
           ["click", SELECTOR]             a real click in the element's middle (xdotool)
           ["key", KEYSYM]                 a real key press (xdotool), to the focused element
           ["mark", NAME]                  prints {"mark": NAME} at once (the caller may
                                            start something then)
           ["clock_offset"]                time.monotonic() - performance.now() / 1000,
                                            from the quickest of ten round trips
    prints {"version": "2.50.6", "results": [...]} or {"error": "..."}
"""
import json
import subprocess
import sys

import sound_checks

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("WebKit2", "4.1")
from gi.repository import GLib, Gtk, WebKit2  # noqa: E402

WAIT = """return await new Promise((resolve) => {
    const end = performance.now() + %d;
    const check = () => {
        let v = null;
        try { v = (%s); } catch (e) { v = null; }
        if (v || performance.now() > end) resolve(v || null); else setTimeout(check, 20);
    };
    check(); });"""


class Page:
    def __init__(self, url, before=()):
        self.window = Gtk.Window()
        self.window.set_decorated(False)
        self.window.move(0, 0)
        self.window.set_default_size(1024, 768)
        settings = WebKit2.Settings()
        settings.set_enable_webgl(True)
        settings.set_hardware_acceleration_policy(WebKit2.HardwareAccelerationPolicy.ALWAYS)
        self.view = WebKit2.WebView.new_with_settings(settings)
        for source in before:
            self.view.get_user_content_manager().add_script(WebKit2.UserScript.new(
                source, WebKit2.UserContentInjectedFrames.TOP_FRAME,
                WebKit2.UserScriptInjectionTime.START, None, None))
        self.window.add(self.view)
        self.window.show_all()
        self.loaded = False
        self.view.connect("load-changed", self._load_changed)
        self.view.load_uri(url)
        self._spin(lambda: self.loaded)

    def _load_changed(self, view, event):
        if event == WebKit2.LoadEvent.FINISHED:
            self.loaded = True

    def _spin(self, done):
        context = GLib.MainContext.default()
        while not done():
            context.iteration(True)

    def run(self, body):
        """The value of an async function body, as JSON's value."""
        box = {}

        def finished(view, result):
            try:
                value = view.call_async_javascript_function_finish(result)
                box["value"] = json.loads(value.to_json(0) or "null")
            except GLib.Error as e:
                box["error"] = e.message

        self.view.call_async_javascript_function(body, -1, None, None, None, None, finished)
        self._spin(lambda: box)
        if "error" in box:
            raise RuntimeError(box["error"])
        return box["value"]

    def clock_offset(self):
        return sound_checks.clock_offset(lambda: self.run("return performance.now();"))

    def click(self, selector):
        x, y = self.run("const r = document.querySelector(%s).getBoundingClientRect();"
                        " return [Math.round(r.x + r.width / 2), Math.round(r.y + r.height / 2)];"
                        % json.dumps(selector))
        origin = self.view.get_window().get_origin()
        subprocess.run(["xdotool", "mousemove", str(origin.x + x), str(origin.y + y), "click", "1"],
                       check=True)


def main():
    url, steps = sys.argv[1], json.loads(sys.argv[2])
    version = "%d.%d.%d" % (WebKit2.get_major_version(), WebKit2.get_minor_version(),
                            WebKit2.get_micro_version())
    try:
        before = [step[1] for step in steps if step[0] == "before"]
        page = Page(url, before)
        results = []
        for step in (step for step in steps if step[0] != "before"):
            if step[0] == "wait":
                value = page.run(WAIT % (step[2] * 1000, step[1]))
                if value is None:
                    raise TimeoutError("%s did not hold within %g s; title %r"
                                       % (step[1], step[2], page.run("return document.title;")))
                results.append(value)
            elif step[0] == "eval":
                results.append(page.run("return await (%s);" % step[1]))
            elif step[0] == "click":
                page.click(step[1])
                results.append(None)
            elif step[0] == "key":
                subprocess.run(["xdotool", "key", step[1]], check=True)
                results.append(None)
            elif step[0] == "mark":
                print(json.dumps({"mark": step[1]}), flush=True)
                results.append(None)
            elif step[0] == "clock_offset":
                results.append(page.clock_offset())
        print(json.dumps({"version": version, "results": results}))
    except Exception as e:  # the test reports it
        print(json.dumps({"version": version, "error": "%s: %s" % (type(e).__name__, e)}))


if __name__ == "__main__":
    main()
