#!/usr/bin/python3
"""The pictures of the page's player bar that README shows: the show paused
with its bar, at a phone's size (390x844, touch) and a desktop window's,
taken in headless Chromium from the built site.

    scripts/web_player_screenshots.py [BUILD [FOLDER]]   (default: build, docs)
"""
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "web"))
import browser  # noqa: E402
from site_server import Site  # noqa: E402

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
folder = sys.argv[2] if len(sys.argv) > 2 else os.path.join(ROOT, "docs")
site = Site(os.path.join(build, "web"))
try:
    for name, phone in (("web-player-phone.png", True), ("web-player-desktop.png", False)):
        page = browser.Browser(deadline=120)
        try:
            if phone:
                page.emulate_phone(390, 844, 1)
            else:
                page.call("Emulation.setDeviceMetricsOverride", session=True, width=1024,
                          height=640, deviceScaleFactor=1, mobile=False)
            page.open(site.base + "index.html?nosound&nodialog&fullscreen&start=372",
                      r".")
            page.wait_until("typeof Module !== 'undefined' && Module.calledRun &&"
                            " ccall('sorvanelPlayerTimeMs', 'number', [], []) > 372500")
            page.evaluate("PlayerBar.act(PlayerAction.pause); PlayerBar.show()")
            page.wait_until("ccall('sorvanelPlayerPaused', 'number', [], []) === 1")
            page.wait_until("new Promise((r) => requestAnimationFrame(() =>"
                            " requestAnimationFrame(() => r(true))))")
            with open(os.path.join(folder, name), "wb") as f:
                f.write(page.screenshot())
            print("wrote", os.path.join(folder, name))
        finally:
            page.close()
finally:
    site.close()
