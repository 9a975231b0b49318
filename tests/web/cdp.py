"""A headless Chromium driven over the DevTools protocol on a pipe.

    with Browser() as browser:
        page = browser.open("http://127.0.0.1:8000/")
        page.evaluate("document.title")

Messages are JSON, each ended by a NUL byte; Chromium reads commands from
descriptor 3 and writes replies and events to descriptor 4.
"""
import json
import os
import shutil
import subprocess
import tempfile
import time

CANDIDATES = ("chromium-headless-shell", "chromium", "chromium-browser")


def find_browser():
    for name in CANDIDATES:
        path = shutil.which(name)
        if path:
            return path
    raise RuntimeError("no headless Chromium found (apt-get install chromium-headless-shell)")


class Error(RuntimeError):
    pass


class Browser:
    def __init__(self, width=800, height=600):
        self.profile = tempfile.mkdtemp(prefix="kirmavo-chromium-")
        to_browser_r, self.to_browser = os.pipe()
        self.from_browser, from_browser_w = os.pipe()
        args = [find_browser(), "--headless", "--remote-debugging-pipe", "--no-first-run",
                "--no-default-browser-check", "--user-data-dir=" + self.profile,
                "--window-size=%d,%d" % (width, height), "--no-sandbox",
                "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
                "--disable-backgrounding-occluded-windows", "--disable-dev-shm-usage", "about:blank"]

        def plumb():
            # Through fresh copies: a pipe may already sit on 3 or 4, and
            # dup2 onto itself would leave it closed on exec.
            reads, writes = os.dup(to_browser_r), os.dup(from_browser_w)
            os.dup2(reads, 3)
            os.dup2(writes, 4)

        self.process = subprocess.Popen(args, preexec_fn=plumb, close_fds=False,
                                        stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.profile, "..", "kirmavo-chromium.log"), "w"))
        os.close(to_browser_r)
        os.close(from_browser_w)
        self.next_id = 0
        self.pending = b""
        self.events = []

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        try:
            self.send("Browser.close", timeout=5)
        except Exception:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self.to_browser)
        os.close(self.from_browser)
        shutil.rmtree(self.profile, ignore_errors=True)

    def _read_message(self, deadline):
        while b"\0" not in self.pending:
            if time.monotonic() > deadline:
                raise Error("no reply from the browser")
            chunk = os.read(self.from_browser, 1 << 20)
            if not chunk:
                raise Error("the browser went away")
            self.pending += chunk
        message, self.pending = self.pending.split(b"\0", 1)
        return json.loads(message)

    def send(self, method, params=None, session=None, timeout=60):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            reply = self._read_message(deadline)
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise Error("%s: %s" % (method, reply["error"]))
                return reply.get("result", {})
            self.events.append(reply)

    def open(self, url, before_load=None):
        """A new tab showing url; before_load is a script run in it before the page's own."""
        target = self.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = self.send("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        page = Page(self, session, target)
        page.send("Page.enable")
        page.send("Runtime.enable")
        page.send("Network.enable")
        if before_load:
            page.send("Page.addScriptToEvaluateOnNewDocument", {"source": before_load})
        page.send("Page.navigate", {"url": url})
        return page


class Page:
    def __init__(self, browser, session, target):
        self.browser = browser
        self.session = session
        self.target = target

    def send(self, method, params=None, timeout=60):
        return self.browser.send(method, params, self.session, timeout)

    def evaluate(self, expression, timeout=60):
        result = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True}, timeout)
        if "exceptionDetails" in result:
            raise Error("%s: %s" % (expression[:80], result["exceptionDetails"]))
        return result["result"].get("value")

    def wait_for(self, expression, timeout=30, poll=0.02):
        deadline = time.monotonic() + timeout
        while True:
            value = self.evaluate(expression)
            if value:
                return value
            if time.monotonic() > deadline:
                raise Error("timed out waiting for " + expression)
            time.sleep(poll)

    def click(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.send("Input.dispatchMouseEvent", {"type": kind, "x": x, "y": y, "button": "left",
                                                   "clickCount": 1})

    def key(self, kind, key, code, key_code, text=None):
        """kind: keyDown or keyUp; a keyDown with text also types it, as a
        real key does (Enter activates a button only so)."""
        params = {"type": kind, "key": key, "code": code, "windowsVirtualKeyCode": key_code,
                  "nativeVirtualKeyCode": key_code}
        if text and kind == "keyDown":
            params["text"] = text
        self.send("Input.dispatchKeyEvent", params)

    def close(self):
        self.browser.send("Target.closeTarget", {"targetId": self.target})
