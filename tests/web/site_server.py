"""The built site (BUILD/web) served from 127.0.0.1 on a free port, for the
browser tests and the web benchmarks. Nothing is cached, so what is changed
now holds from the next request:
- files named in `hidden` answer 404;
- with `gzip_encoding` set, .gz files are sent as many servers send them:
  with `Content-Encoding: gzip`, so the browser inflates them on the way;
- `song_fault` names what data/Sorvanel.it.gz does: None (served whole),
  "missing" (404), "error" (500), "cut" (a whole answer of half the file) or
  "truncated" (the full length announced, half sent, the connection closed);
  `song_requests` counts the requests for it;
- `song_pause_s` holds each answer for the song that long before its
  first byte (a slow server);
- with `silent_worklet` set, song_worklet.js is one whose processor takes
  the song and plays nothing, never saying a word back: an output that
  never starts; with it "mute", one that reports as the page's does but
  never hands a frame out.
"""
import functools
import http.server
import os
import threading
import time

SONG = "data/Sorvanel.it.gz"
SILENT_WORKLET = b"""registerProcessor('sorvanel-song', class extends AudioWorkletProcessor {
  process() { return true; }
});
"""
# One that answers as the page's does but never hands a frame out.
MUTE_WORKLET = b"""registerProcessor('sorvanel-song', class extends AudioWorkletProcessor {
  constructor() {
    super();
    this.generation = 0;
    this.blocks = 0;
    this.port.onmessage = (e) => { if (e.data.type === 'flush') this.generation = e.data.generation; };
  }
  process() {
    if (++this.blocks % 8 === 0) {
      this.port.postMessage({generation: this.generation, handed: 0, lastHandFrame: 0,
                             frame: currentFrame + 128, starved: true, queued: 0, gaps: 0,
                             silentFrames: 0, drained: false});
    }
    return true;
  }
});
"""


class Site:
    def __init__(self, folder):
        self.hidden = set()
        self.gzip_encoding = False
        self.song_fault = None
        self.song_requests = 0
        self.silent_worklet = False
        self.song_pause_s = 0
        site = self

        class Handler(http.server.SimpleHTTPRequestHandler):
            def do_GET(self):
                if self.path.split("?")[0].lstrip("/") == SONG:
                    site.song_requests += 1
                    time.sleep(site.song_pause_s)  # the slow server itself, not a wait in a test
                    if site.song_fault is not None:
                        return self.broken_song(site.song_fault)
                if site.silent_worklet and self.path.split("?")[0] == "/song_worklet.js":
                    return self.send_bytes(MUTE_WORKLET if site.silent_worklet == "mute"
                                           else SILENT_WORKLET, "text/javascript")
                return super().do_GET()

            def send_bytes(self, data, kind):
                self.send_response(200)
                self.send_header("Content-Type", kind)
                self.send_header("Content-Length", str(len(data)))
                self.end_headers()
                self.wfile.write(data)

            def send_head(self):
                if self.path.split("?")[0].lstrip("/") in site.hidden:
                    self.send_error(404)
                    return None
                return super().send_head()

            def broken_song(self, fault):
                if fault == "missing":
                    return self.send_error(404)
                if fault == "error":
                    return self.send_error(500)
                with open(os.path.join(folder, SONG), "rb") as f:
                    data = f.read()
                half = data[: len(data) // 2]
                self.send_response(200)
                self.send_header("Content-Type", "application/gzip")
                self.send_header("Content-Length", str(len(data if fault == "truncated" else half)))
                self.end_headers()
                self.wfile.write(half)
                self.wfile.flush()
                self.close_connection = True

            def end_headers(self):
                if site.gzip_encoding and self.path.split("?")[0].endswith(".gz"):
                    self.send_header("Content-Encoding", "gzip")
                self.send_header("Cache-Control", "no-store")
                super().end_headers()

            def log_message(self, *args):
                pass

        handler = functools.partial(Handler, directory=folder)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.base = "http://127.0.0.1:%d/" % self.server.server_address[1]

    def close(self):
        self.server.shutdown()
        self.server.server_close()
