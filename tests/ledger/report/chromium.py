"""Headless Chromium driven through the DevTools protocol over a pipe.

Only the standard library: Chromium reads commands from its fd 3 and writes
replies and events to its fd 4, each message JSON ended by a NUL byte.

    with Chromium() as browser:
        browser.open(Path("report.html"))
        browser.evaluate("document.title")
"""

import base64
import fcntl
import json
import os
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--remote-debugging-pipe"]


def chromium_path():
    for name in ("chromium", "chromium-browser"):
        found = shutil.which(name)
        if found:
            return found
    return None


class Chromium:
    def __init__(self, width=1400, height=900, timeout=60):
        self.timeout = timeout
        self.profile = tempfile.mkdtemp(prefix="report-chromium-")
        to_browser_r, self._to_browser = os.pipe()
        self._from_browser, from_browser_w = os.pipe()

        def at_fds_3_and_4():
            # Above 10 first, so that neither dup2 overwrites the other source.
            r = fcntl.fcntl(to_browser_r, fcntl.F_DUPFD, 10)
            w = fcntl.fcntl(from_browser_w, fcntl.F_DUPFD, 10)
            os.dup2(r, 3)
            os.dup2(w, 4)

        self.process = subprocess.Popen(
            [chromium_path(), *FLAGS, f"--user-data-dir={self.profile}",
             f"--window-size={width},{height}", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=at_fds_3_and_4, close_fds=False)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self._buffer = b""
        self._next_id = 0
        self.events = []
        self.session = None
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        self.call("Page.enable")
        self.call("Runtime.enable")
        self.call("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        try:
            self.call("Browser.close", session=False)
        except Exception:
            pass
        try:
            self.process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        for fd in (self._to_browser, self._from_browser):
            try:
                os.close(fd)
            except OSError:
                pass
        shutil.rmtree(self.profile, ignore_errors=True)

    def _read_message(self, deadline):
        while b"\0" not in self._buffer:
            if time.monotonic() > deadline:
                raise TimeoutError("no answer from Chromium")
            chunk = os.read(self._from_browser, 1 << 20)
            if not chunk:
                raise ConnectionError("Chromium closed its pipe")
            self._buffer += chunk
        message, _, self._buffer = self._buffer.partition(b"\0")
        return json.loads(message)

    def call(self, method, params=None, session=True):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params or {}}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + self.timeout
        while True:
            reply = self._read_message(deadline)
            if reply.get("id") == self._next_id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply.get("result", {})
            self.events.append(reply)

    def wait_event(self, method):
        deadline = time.monotonic() + self.timeout
        while True:
            for i, event in enumerate(self.events):
                if event.get("method") == method:
                    return self.events.pop(i)
            self.events.append(self._read_message(deadline))

    def open(self, path):
        self.events.clear()
        self.call("Page.navigate", {"url": Path(path).resolve().as_uri()})
        self.wait_event("Page.loadEventFired")

    def evaluate(self, expression):
        """The value of a JavaScript expression (awaited when a promise)."""
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True})
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def screenshot(self, path, full_page=False):
        params = {"format": "png"}
        if full_page:
            params["captureBeyondViewport"] = True
        data = self.call("Page.captureScreenshot", params)["data"]
        Path(path).write_bytes(base64.b64decode(data))

    def dialogs(self):
        """JavaScript dialogs (alert, confirm) the page tried to open."""
        return [e for e in self.events if e.get("method") == "Page.javascriptDialogOpening"]
