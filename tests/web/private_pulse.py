"""A PulseAudio daemon of its own with one null sink ("bench"), for the
browser tests and benchmarks that play sound: the browsers play into it
(PULSE_SERVER=its server) and its monitor can be recorded."""
import os
import shutil
import subprocess
import tempfile
import time


class PrivatePulse:
    """A private PulseAudio daemon; server is its address for PULSE_SERVER."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="web-sound-pulse-")
        self.server = "unix:" + os.path.join(self.folder, "native")
        env = dict(os.environ, XDG_RUNTIME_DIR=self.folder, HOME=self.folder)
        env.pop("DISPLAY", None)
        self.proc = subprocess.Popen(
            ["pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
             "--system=no", "--log-target=file:" + os.path.join(self.folder, "log"),
             "-L", "module-null-sink sink_name=bench rate=44100 channels=2 format=s16le",
             "-L", "module-native-protocol-unix auth-anonymous=1 socket=" +
             os.path.join(self.folder, "native")], env=env)
        deadline = time.monotonic() + 30
        while subprocess.run(["pactl", "-s", self.server, "info"], capture_output=True).returncode:
            if time.monotonic() > deadline or self.proc.poll() is not None:
                raise RuntimeError("pulseaudio did not come up")
            time.sleep(0.05)  # polling the daemon's socket as it starts

    def close(self):
        self.proc.terminate()
        self.proc.wait(timeout=10)
        shutil.rmtree(self.folder, ignore_errors=True)
