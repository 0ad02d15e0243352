#!/usr/bin/python3
"""Headless Chromium driven over the DevTools protocol (python3-websocket),
for the web build's tests: a fresh profile, one page, waits on the page's
title with a deadline (never a sleep), console errors and uncaught
exceptions collected, trusted clicks and keys, expressions evaluated.
"""
import base64
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import websocket

CHROMIUM = "/usr/bin/chromium"
# As root on a machine without a GPU, display, D-Bus or network.
BASE_FLAGS = [
    "--headless=new",
    "--no-sandbox",  # needed as root
    "--use-angle=swiftshader",
    "--enable-unsafe-swiftshader",  # WebGL on SwiftShader is off by default since Chromium 137
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--no-first-run",
    "--no-default-browser-check",
    "--disable-dev-shm-usage",
    "--remote-debugging-port=0",  # Chromium picks a free port and writes it to DevToolsActivePort
    "--window-size=800,600",
]


class Browser:
    """One Chromium process and one page, driven over a flat CDP session."""

    def __init__(self, extra_flags=(), deadline=60.0, autoplay=False, xvfb=False):
        self.deadline = time.monotonic() + deadline
        self.profile = tempfile.mkdtemp(prefix="cdp-profile-")
        self.proc = subprocess.Popen(
            # xvfb: a real window on a virtual X screen (full screen works there, not headless).
            [*(["xvfb-run", "-a", "-s", "-screen 0 1024x768x24"] if xvfb else []), CHROMIUM,
             *[f for f in BASE_FLAGS if not (xvfb and f.startswith("--headless"))],
             *(["--autoplay-policy=no-user-gesture-required"] if autoplay else []),
             *extra_flags, "--user-data-dir=" + self.profile, "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.next_id = 0
        self.events = []
        self.errors = []
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        while not os.path.exists(port_file) or os.path.getsize(port_file) == 0:
            self._check_deadline("Chromium did not open its DevTools port")
            if self.proc.poll() is not None:
                raise RuntimeError("Chromium exited with %d" % self.proc.returncode)
            time.sleep(0.05)  # polling a file Chromium writes once, at start-up
        with open(port_file) as f:
            port, path = f.read().split()[:2]
        self.ws = websocket.create_connection("ws://127.0.0.1:%s%s" % (port, path), suppress_origin=True)
        # Drive the tab Chromium opened: it is the visible one, so requestAnimationFrame
        # runs (a tab made by Target.createTarget gets no frames in headless mode).
        pages = [t for t in self.call("Target.getTargets")["targetInfos"] if t["type"] == "page"]
        target = pages[0]["targetId"]
        self.session = self.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
        for domain in ("Runtime", "Log", "Page"):
            self.call(domain + ".enable", session=True)

    def _check_deadline(self, what):
        if time.monotonic() > self.deadline:
            raise TimeoutError(what)

    def _receive(self):
        self._check_deadline("deadline passed")
        self.ws.settimeout(max(0.1, self.deadline - time.monotonic()))
        try:
            msg = json.loads(self.ws.recv())
        except websocket.WebSocketTimeoutException:
            raise TimeoutError("deadline passed") from None
        method = msg.get("method")
        params = msg.get("params", {})
        if method == "Runtime.consoleAPICalled" and params.get("type") in ("error", "assert"):
            self.errors.append("console: " + " ".join(str(a.get("value", a.get("description", "")))
                                                      for a in params.get("args", [])))
        elif method == "Runtime.exceptionThrown":
            d = params["exceptionDetails"]
            self.errors.append("exception: " + d.get("exception", {}).get("description", d.get("text", "")))
        elif method == "Log.entryAdded" and params["entry"]["level"] == "error":
            self.errors.append("log: %s %s" % (params["entry"]["text"], params["entry"].get("url", "")))
        elif method:
            self.events.append(msg)
        return msg

    def call(self, method, session=False, **params):
        self.next_id += 1
        msg = {"id": self.next_id, "method": method, "params": params}
        if session:
            msg["sessionId"] = self.session
        self.ws.send(json.dumps(msg))
        while True:
            reply = self._receive()
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError("%s: %s" % (method, reply["error"]))
                return reply.get("result", {})

    def evaluate(self, expression, await_promise=False):
        r = self.call("Runtime.evaluate", session=True, expression=expression, returnByValue=True,
                      awaitPromise=await_promise)
        if "exceptionDetails" in r:
            raise RuntimeError("evaluate: " + r["exceptionDetails"].get("text", ""))
        return r["result"].get("value")

    def run_before_pages(self, source):
        """Runs the script source in every page this browser opens from now
        on, before the page's own scripts (to stand in for an engine's API)."""
        self.call("Page.addScriptToEvaluateOnNewDocument", session=True, source=source)

    def open(self, url, title_pattern):
        """Navigates and waits for a title matching title_pattern or starting with 'error'."""
        self.events.clear()
        self.call("Page.navigate", session=True, url=url)
        while not any(e["method"] == "Page.loadEventFired" for e in self.events):
            self._receive()
        # A promise in the page that settles when the title changes: no polling here.
        waiter = """new Promise((resolve) => {
            const ok = (t) => new RegExp(%s).test(t) || t.startsWith('error');
            if (ok(document.title)) return resolve(document.title);
            new MutationObserver(() => { if (ok(document.title)) resolve(document.title); })
                .observe(document.documentElement, {subtree: true, childList: true, characterData: true});
        })""" % json.dumps(title_pattern)
        return self.evaluate(waiter, await_promise=True)

    def wait_until(self, condition, seconds=120.0):
        """Waits for a JavaScript expression to hold in the page (checked in
        the page every 20 ms) and returns its value; after `seconds` raises
        with what the page shows."""
        value = self.evaluate("""new Promise((resolve) => {
            const end = performance.now() + %d;
            const check = () => {
                const v = (%s);
                if (v || performance.now() > end) resolve(v || null); else setTimeout(check, 20);
            };
            check(); })""" % (seconds * 1000, condition), await_promise=True)
        if value is None:
            raise TimeoutError("%s did not hold within %g s; the page's title: %r; errors: %s"
                               % (condition, seconds, self.evaluate("document.title"),
                                  self.errors))
        return value

    def wait_for_load(self):
        """Waits for the page's next load (one it starts itself, as a reload)."""
        while not any(e["method"] == "Page.loadEventFired" for e in self.events):
            self._receive()

    def key(self, key, code, key_code):
        for kind in ("keyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", session=True, type=kind, key=key, code=code,
                      windowsVirtualKeyCode=key_code)

    def click(self, selector):
        """A real (trusted) mouse click in the middle of the element: a user gesture."""
        box = self.evaluate("(() => { const r = document.querySelector(%s).getBoundingClientRect();"
                            " return [r.x + r.width / 2, r.y + r.height / 2]; })()" % json.dumps(selector))
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", session=True, type=kind, x=box[0], y=box[1],
                      button="left", clickCount=1)

    def center_of(self, selector):
        """The middle of the element's box, in CSS pixels of the viewport."""
        return self.evaluate("(() => { const r = document.querySelector(%s).getBoundingClientRect();"
                             " return [r.x + r.width / 2, r.y + r.height / 2]; })()"
                             % json.dumps(selector))

    def emulate_phone(self, width=390, height=844, scale=3):
        """A phone: its viewport, pixel ratio and touch screen."""
        self.call("Emulation.setDeviceMetricsOverride", session=True, width=width, height=height,
                  deviceScaleFactor=scale, mobile=True)
        self.call("Emulation.setTouchEmulationEnabled", session=True, enabled=True,
                  maxTouchPoints=5)

    def tap(self, x, y):
        """A finger's tap at (x, y) of the viewport."""
        point = [{"x": x, "y": y, "radiusX": 4, "radiusY": 4, "force": 1, "id": 0}]
        self.call("Input.dispatchTouchEvent", session=True, type="touchStart", touchPoints=point)
        self.call("Input.dispatchTouchEvent", session=True, type="touchEnd", touchPoints=[])

    def double_tap(self, x, y):
        """Two taps at (x, y) as a finger makes them: the four touch events
        sent at once, stamped 60 ms apart, so that however busy the page is
        they arrive within its double-tap time (each sent and answered in turn,
        a loaded machine can space them past it)."""
        point = [{"x": x, "y": y, "radiusX": 4, "radiusY": 4, "force": 1, "id": 0}]
        start = time.time()
        sent = []
        for i, (kind, points) in enumerate([("touchStart", point), ("touchEnd", []),
                                            ("touchStart", point), ("touchEnd", [])]):
            self.next_id += 1
            self.ws.send(json.dumps({"id": self.next_id, "method": "Input.dispatchTouchEvent",
                                     "sessionId": self.session,
                                     "params": {"type": kind, "touchPoints": points,
                                                "timestamp": start + 0.06 * i}}))
            sent.append(self.next_id)
        while sent:
            reply = self._receive()
            if reply.get("id") in sent:
                if "error" in reply:
                    raise RuntimeError("Input.dispatchTouchEvent: %s" % reply["error"])
                sent.remove(reply["id"])

    def resize_window(self, width, height):
        """The browser window's size (in new headless, the viewport's)."""
        window = self.call("Browser.getWindowForTarget", session=True)["windowId"]
        self.call("Browser.setWindowBounds", windowId=window,
                  bounds={"width": width, "height": height, "windowState": "normal"})

    def screenshot(self):
        """The viewport as PNG bytes, in device pixels."""
        return base64.b64decode(self.call("Page.captureScreenshot", session=True,
                                          format="png")["data"])

    def close(self):
        try:
            self.call("Browser.close")
        except Exception:
            pass
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


KEYS = {  # name -> (key, code, Windows virtual key code)
    "Escape": ("Escape", "Escape", 27), "Space": (" ", "Space", 32), "Left": ("ArrowLeft", "ArrowLeft", 37),
    "Right": ("ArrowRight", "ArrowRight", 39), "PageUp": ("PageUp", "PageUp", 33),
    "PageDown": ("PageDown", "PageDown", 34), "Home": ("Home", "Home", 36), "N": ("n", "KeyN", 78),
    "P": ("p", "KeyP", 80), "Enter": ("Enter", "Enter", 13),
    "BracketRight": ("]", "BracketRight", 221),
}
