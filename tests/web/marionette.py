"""Firefox ESR driven over its Marionette protocol, for the web build's tests
in a second engine: a fresh profile, a window on a private X screen
(xvfb-run; headless Firefox offers no WebGL 2 on Mesa), and the few WebDriver
commands the tests use, sent as Marionette's length-prefixed JSON over TCP:
navigate, evaluate (plain or awaiting a promise), a real click on an
element, and waiting on a condition in the page with a deadline.
"""
import json
import os
import shutil
import socket
import subprocess
import tempfile
import time

FIREFOX = "/usr/bin/firefox-esr"
ELEMENT = "element-6066-11e4-a52e-4f735466cecf"

PREFERENCES = {
    "marionette.port": 0,  # a free port, written to MarionetteActivePort in the profile
    "browser.shell.checkDefaultBrowser": False,
    "browser.startup.homepage_override.mstone": "ignore",
    "browser.aboutwelcome.enabled": False,
    "datareporting.policy.dataSubmissionEnabled": False,
    "toolkit.telemetry.reportingpolicy.firstRun": False,
    "app.update.disabledForTesting": True,
    "network.captive-portal-service.enabled": False,
    "browser.safebrowsing.update.enabled": False,
    "extensions.update.enabled": False,
    "webgl.force-enabled": True,
    # Firefox answers outputLatency and getOutputTimestamp() by asking its
    # sound process for the output's latency while it holds its audio graph's
    # lock; when the sound process is inside a render callback (PulseAudio's
    # mainloop lock held) that waits on the same lock, the page's thread and
    # its sound stall for minutes, in about half the runs on a loaded machine.
    # Its fingerprinting protection for AudioContext alone answers a fixed
    # 25 ms without asking. The page asks rarely (heard_clock.js), but any
    # ask can stall there: a test must not hang on the browser's lock
    # (bench/web/web_sound_bench.py measures with the true answers).
    "privacy.fingerprintingProtection": True,
    "privacy.fingerprintingProtection.overrides": "-AllTargets,+AudioContext",
}


def version():
    """'Mozilla Firefox 153.8.0esr' or None where it is not installed."""
    if not os.access(FIREFOX, os.X_OK):
        return None
    run = subprocess.run([FIREFOX, "--version"], capture_output=True, text=True, timeout=60)
    return run.stdout.strip() or None


class Firefox:
    """One Firefox process with one window, driven over Marionette."""

    def __init__(self, deadline=300.0, preferences=None):
        """preferences: more of them, or other values, beside PREFERENCES."""
        self.deadline = time.monotonic() + deadline
        self.profile = tempfile.mkdtemp(prefix="marionette-profile-")
        with open(os.path.join(self.profile, "user.js"), "w") as f:
            for name, value in dict(PREFERENCES, **(preferences or {})).items():
                f.write("user_pref(%s, %s);\n" % (json.dumps(name), json.dumps(value)))
        self.proc = subprocess.Popen(
            ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", FIREFOX, "--marionette",
             "--no-remote", "--profile", self.profile, "about:blank"],
            # Firefox plays through an output of 25 ms here (its least on
            # the sink), whatever latencyHint the page asks for: on a loaded
            # two-core machine its sound process misses callbacks, and the
            # sink's recording has holes. PulseAudio gives it 200 ms instead,
            # as suits the page's 'playback', unless the caller's
            # environment says otherwise.
            env=dict(os.environ, PULSE_LATENCY_MSEC=os.environ.get("PULSE_LATENCY_MSEC", "200")),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        port_file = os.path.join(self.profile, "MarionetteActivePort")
        while not os.path.exists(port_file) or os.path.getsize(port_file) == 0:
            self._check_deadline("Firefox did not open its Marionette port")
            if self.proc.poll() is not None:
                raise RuntimeError("Firefox exited with %d" % self.proc.returncode)
            time.sleep(0.05)  # polling a file Firefox writes once, at start-up
        with open(port_file) as f:
            port = int(f.read().strip())
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=60)
        self.buffer = b""
        self.next_id = 0
        hello = self._receive()
        if hello.get("marionetteProtocol") != 3:
            raise RuntimeError("Marionette spoke %r" % hello)
        self.capabilities = self.call("WebDriver:NewSession", capabilities={})["capabilities"]
        self.call("WebDriver:SetTimeouts", script=300000, pageLoad=300000)

    def _check_deadline(self, what):
        if time.monotonic() > self.deadline:
            raise TimeoutError(what)

    def _receive(self):
        while b":" not in self.buffer:
            self._read()
        length, rest = self.buffer.split(b":", 1)
        while len(rest) < int(length):
            self._read()
            length, rest = self.buffer.split(b":", 1)
        self.buffer = rest[int(length):]
        return json.loads(rest[:int(length)])

    def _read(self):
        self._check_deadline("deadline passed")
        self.sock.settimeout(max(0.1, self.deadline - time.monotonic()))
        try:
            chunk = self.sock.recv(65536)
        except socket.timeout:
            raise TimeoutError("deadline passed") from None
        if not chunk:
            raise RuntimeError("Firefox closed its Marionette connection")
        self.buffer += chunk

    def call(self, command, **params):
        self.next_id += 1
        body = json.dumps([0, self.next_id, command, params]).encode()
        self.sock.sendall(str(len(body)).encode() + b":" + body)
        while True:
            reply = self._receive()
            if isinstance(reply, list) and reply[0] == 1 and reply[1] == self.next_id:
                if reply[2] is not None:
                    raise RuntimeError("%s: %s" % (command, reply[2]))
                result = reply[3]
                return result.get("value", result) if isinstance(result, dict) else result

    def open(self, url):
        self.call("WebDriver:Navigate", url=url)

    # WebDriver's scripts run beside the page's, not in its scope: the page's
    # own names (its let and const among them) are reached through its eval.
    def evaluate(self, expression):
        return self.call("WebDriver:ExecuteScript", args=[],
                         script="return window.eval(%s);" % json.dumps(expression))

    def evaluate_async(self, expression):
        """The value a promise in the page settles with."""
        return self.call("WebDriver:ExecuteAsyncScript", args=[],
                         script="const done = arguments[arguments.length - 1];"
                                " Promise.resolve(window.eval(%s)).then(done,"
                                " (e) => done('error: ' + e));" % json.dumps(expression))

    def wait_until(self, condition, seconds=120.0):
        """Waits for a JavaScript expression to hold in the page and returns
        its value; raises after `seconds`. Asked from here every 50 ms: a
        long-running asynchronous script in the page did not always come
        back while the show played."""
        end = time.monotonic() + seconds
        while True:
            value = self.evaluate("(() => { try { return (%s); } catch (e) { return null; } })()"
                                  % condition)
            if value:
                return value
            if time.monotonic() > end:
                raise TimeoutError("%s did not hold within %g s; the page's title: %r"
                                   % (condition, seconds, self.evaluate("document.title")))
            time.sleep(0.05)  # the next look at the page

    def measure_over(self, reading, milliseconds):
        """[reading then, reading `milliseconds` later, its last two fields]:
        `reading` is an expression giving a list whose last two items are
        kept from the second look only. Two short scripts with a wait in the
        page between them, not one script that waits: Firefox answers a
        short script at once while the show plays."""
        first = self.evaluate("window.__measuredFrom = performance.now(), (%s)" % reading)
        self.wait_until("performance.now() - window.__measuredFrom >= %d" % milliseconds,
                        milliseconds / 1000 + 60)
        second = self.evaluate(reading)
        return [first[:-2], second[:-2], second[-2], second[-1]]

    def click(self, selector):
        """A real click on the element (WebDriver's element click: trusted
        mouse events through the browser, a user's gesture)."""
        found = self.call("WebDriver:FindElement", using="css selector", value=selector)
        self.call("WebDriver:ElementClick", id=found[ELEMENT])

    def send_keys(self, selector, text):
        """Real key presses into the element (WebDriver's element send keys:
        trusted key events; "\ue014" is the right arrow)."""
        found = self.call("WebDriver:FindElement", using="css selector", value=selector)
        self.call("WebDriver:ElementSendKeys", id=found[ELEMENT], text=text)

    def close(self):
        try:
            self.call("Marionette:Quit", flags=["eForceQuit"])
        except Exception:
            pass
        try:
            self.sock.close()
        except Exception:
            pass
        try:
            self.proc.wait(timeout=20)
        except subprocess.TimeoutExpired:
            os.killpg(self.proc.pid, 9)
            self.proc.wait()
        shutil.rmtree(self.profile, ignore_errors=True)
