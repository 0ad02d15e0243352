"""The built site (BUILD/web) served from 127.0.0.1 on a free port, for the
browser tests and the web benchmark. Files named in `hidden` answer 404, and
nothing is cached, so a file hidden now is missing at the next page load.
With `gzip_encoding` set, .gz files are sent as many servers send them:
with `Content-Encoding: gzip`, so the browser inflates them on the way.
"""
import functools
import http.server
import threading


class Site:
    def __init__(self, folder):
        self.hidden = set()
        self.gzip_encoding = False
        site = self

        class Handler(http.server.SimpleHTTPRequestHandler):
            def send_head(self):
                if self.path.split("?")[0].lstrip("/") in site.hidden:
                    self.send_error(404)
                    return None
                return super().send_head()

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
