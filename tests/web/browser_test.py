#!/usr/bin/env python3
"""The browser build against the Linux build, and the page as a player.

    tests/web/browser_test.py NATIVE_BUILD WEB_BUILD

1. capture compiled to WebAssembly and run under node writes the same frames
   and soundtrack, byte for byte, as the native capture.
2. In headless Chromium, the page's still view (?at=MS) shows capture's frame
   at MS pixel for pixel, at instants in every scene, and plays on from
   there; the seek bar's scene marks fall on each scene's first frame; bad
   ?at= values get a message.
3. Starting: only a gesture that lets sound start begins the show, a click
   while loading (at 1.6 Mbit/s) starts it when ready, a browser that keeps
   the sound off gets a notice and a button; damaged, missing and local
   sites and JavaScript off say so; at phone sizes no text is cut off and
   every control is 44 px.
4. A whole show with one core busy: no underrun the page could have
   avoided, the sound equal to capture's.
5. The live page: about 60 frames a second, the sound equal to capture's,
   each row shown within a frame of when it is heard; mute, pause and
   Space heard within 150 ms; pause and resume; seeks backwards and
   forwards equal to capture's frame and soundtrack; Escape; ten replays
   from the keyboard with memory and listeners flat.
Prints the figures it measured; exit status 1 on any failure.
"""
import base64
import functools
import http.server
import os
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cdp  # noqa: E402

RATE = 44100


def music_pos(order, row):
    """The MusicPos of a row, as core/music_pos.h makes it."""
    return order * 100 + row


# Two instants in every scene (ms of the show's clock), the first scene's
# first frame among them; the scenes change every 7680 ms of music.
STILLS = [0, 12000, 24000, 36000, 40000, 52500, 55500, 66000, 70000, 75000,
          78000, 90000, 93000, 105000]
# The live page seeks to these moments (backwards first), and to 5 s after
# each but the last with the arrow key; capture draws the frames shown.
SEEKS = [10000, 50000, 100000]
FAILURES = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what, flush=True)
    if not ok:
        FAILURES.append(what)


def read_png(path):
    """(width, height, RGB bytes) of an 8-bit RGB or RGBA PNG."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and colour in (2, 6), path
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    channels = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, prev = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = row[x - channels] if x >= channels else 0
            b = prev[x]
            c = prev[x - channels] if x >= channels else 0
            if kind == 1:
                row[x] = (row[x] + a) & 255
            elif kind == 2:
                row[x] = (row[x] + b) & 255
            elif kind == 3:
                row[x] = (row[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[x] = (row[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(row))
        prev = row
    pixels = b"".join(rows)
    if channels == 4:
        pixels = b"".join(pixels[i:i + 3] for i in range(0, len(pixels), 4))
    return width, height, pixels


def frame_name(ms):
    # capture writes the first frame at or after ms; frame k is at k * 1000 / 60.
    k = (ms * 60 + 999) // 1000
    return "frame_%06d.png" % k


def capture(program, at, to, frames, wav, cwd):
    """The frames at the instants, and the soundtrack from the start to `to` (None: the whole show)."""
    for args in (["--at", ",".join(map(str, at)), "--frames", frames], (["--to", str(to)] if to else []) + ["--wav", wav]):
        subprocess.run(program + args, cwd=cwd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def wav_samples(path):
    with open(path, "rb") as f:
        data = f.read()
    pos = 12
    while pos < len(data):
        kind, length = struct.unpack("<4sI", data[pos:pos + 8])
        if kind == b"data":
            return data[pos + 8:pos + 8 + length]
        pos += 8 + length
    raise ValueError(path + ": no data chunk")


def tick_trace(native):
    """(frame, order, row, tick) of every tick of the song, from our player."""
    out = subprocess.run([os.path.join(native, "tools/modrender/modrender"), "--trace", "ticks",
                          "-s", "110", os.path.join(native, "data/music.mod")],
                         check=True, capture_output=True, text=True).stdout
    ticks = []
    for line in out.splitlines():
        parts = line.split()
        if parts and parts[0] == "tick":
            ticks.append(tuple(int(p) for p in parts[1:5]))
    return ticks


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(directory):
    handler = functools.partial(QuietHandler, directory=directory)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def canvas_rgb(page):
    data = page.evaluate("""(function () {
        var d = document.getElementById('screen').getContext('2d').getImageData(0, 0, 320, 240).data;
        var s = '';
        for (var i = 0; i < d.length; i += 4) s += String.fromCharCode(d[i], d[i + 1], d[i + 2]);
        return btoa(s);
    })()""")
    return base64.b64decode(data)


def browser_cpu_seconds(pid):
    """CPU time (user + system) of a process and all its descendants."""
    tick = os.sysconf("SC_CLK_TCK")
    children = {}
    stats = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open("/proc/%s/stat" % entry) as f:
                    fields = f.read().rsplit(")", 1)[1].split()
            except OSError:
                continue
            children.setdefault(int(fields[1]), []).append(int(entry))
            stats[int(entry)] = (int(fields[11]) + int(fields[12])) / tick
    total, todo = 0.0, [pid]
    while todo:
        p = todo.pop()
        total += stats.get(p, 0.0)
        todo += children.get(p, [])
    return total


def browser_memory_mb(pid):
    """The proportional set size of a process and all its descendants, in MB."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open("/proc/%s/stat" % entry) as f:
                    children.setdefault(int(f.read().rsplit(")", 1)[1].split()[1]), []).append(int(entry))
            except OSError:
                continue
    total, todo = 0, [pid]
    while todo:
        p = todo.pop()
        try:
            with open("/proc/%d/smaps_rollup" % p) as f:
                total += sum(int(line.split()[1]) for line in f if line.startswith("Pss:"))
        except OSError:
            pass
        todo += children.get(p, [])
    return total / 1024


SOUND_HOOK = """
window.__sound = { starts: [], context: null };
(function () {
    var start = AudioBufferSourceNode.prototype.start;
    AudioBufferSourceNode.prototype.start = function (when) {
        var left = this.buffer.getChannelData(0), right = this.buffer.getChannelData(1);
        var pcm = new Int16Array(left.length * 2);
        for (var i = 0; i < left.length; i++) {
            pcm[2 * i] = Math.round(left[i] * 32768);
            pcm[2 * i + 1] = Math.round(right[i] * 32768);
        }
        window.__sound.starts.push({ when: when, pcm: pcm, out: this.context.getOutputTimestamp(), at: performance.now() });
        window.__sound.context = this.context;
        return start.apply(this, arguments);
    };
})();
"""

# The buffers handed to the audio context from `first` on, their start
# times, and an output timestamp to place context times on the page's clock.
HANDED = """(function (first) {
    var starts = window.__sound.starts.slice(first), n = starts.length, frames = n ? starts[0].pcm.length : 0;
    var all = new Int16Array(n * frames);
    for (var i = 0; i < n; i++) all.set(starts[i].pcm, i * frames);
    var bytes = new Uint8Array(all.buffer), s = '';
    for (var i = 0; i < bytes.length; i += 8192) s += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
    var out = window.__sound.context.getOutputTimestamp();
    return { pcm: btoa(s), when: starts.map(function (x) { return x.when; }), frames: frames / 2,
             outs: starts.map(function (x) { return x.at - x.out.performanceTime < 100 && x.out.contextTime > 0
                                                    ? [x.out.contextTime, x.out.performanceTime] : null; }),
             contextTime: out.contextTime, performanceTime: out.performanceTime,
             shownAt: window.kirmavo.shownAt };
})(%d)"""


class Handed:
    def __init__(self, page, first):
        h = page.evaluate(HANDED % first)
        self.pcm = base64.b64decode(h["pcm"])
        self.when = h["when"]
        self.frames = h["frames"]
        self.shown = {int(k): v for k, v in h["shownAt"].items()}
        self.h = h

    def heard(self, k, offset=0):
        """When frame `offset` of handed buffer k is heard, on the page's performance clock.

        The output's timestamp from about when the buffer plays: over a whole
        show the context's clock and the page's drift apart by tens of ms."""
        later = self.h["outs"][k + 8:k + 9]
        context_time, performance_time = later[0] if later and later[0] else (
            self.h["contextTime"], self.h["performanceTime"])
        return performance_time + (self.when[k] + offset / RATE - context_time) * 1000


def check_sync(handed, ticks, from_frame, what, from_buffer=0, since=0):
    """Each row is shown within a frame of when its stamped frame is heard.

    A row is stamped at the first pass of the pacing loop after the chunk
    that holds its first tick: the next tick or the next buffer, whichever
    comes first, and shown by the first animation frame after that. Position
    0 shows before anything is heard; rows first shown before `since` (a
    resume) were already on screen."""
    errors = []
    for i, (frame, order, row, tick) in enumerate(ticks[:-1]):
        if tick != 0 or frame < from_frame:
            continue
        rel = frame - from_frame
        stamped = min(ticks[i + 1][0] - from_frame, (rel // handed.frames + 1) * handed.frames)
        k = stamped // handed.frames
        if k >= len(handed.when) - 1:
            break
        pos = order * 100 + row
        if k >= from_buffer and pos > 0 and handed.shown.get(pos, -1) >= since:
            errors.append((handed.shown[pos] - handed.heard(k, stamped % handed.frames), pos))
    # An animation frame the browser drops shows a row a frame or more late;
    # the picture is never ahead of the sound, and rarely behind by more than a frame.
    within = sum(1 for e, _ in errors if e <= 19)
    worst = max(errors, default=(0, None))
    check(len(errors) >= 5 and min(errors)[0] >= -2 and within >= 0.8 * len(errors),
          "%s: %d of %d rows shown within a frame of when they are heard (from %+.1f to %+.1f ms, at position %s)"
          % (what, within, len(errors), min(errors, default=(0,))[0], worst[0], worst[1]))


def expect_soundtrack(handed, soundtrack, from_frame, what):
    # The live show plays a little past the frame that ends capture's soundtrack.
    got = handed.pcm
    want = soundtrack[from_frame * 4:from_frame * 4 + len(got)]
    same = len(handed.when) >= 10 and got[:len(want)] == want
    check(same, "%s: the %d buffers handed to the audio context equal capture --wav from frame %d"
          % (what, len(handed.when), from_frame))
    return len(want) // 4
    if not same:
        differ = next((i for i in range(min(len(got), len(want))) if got[i] != want[i]), None)
        print("      first byte that differs: %s of %d" % (differ, len(got)))


def key(page, name, code, key_code, up=True):
    page.key("keyDown", name, code, key_code, {"Enter": "\r", " ": " "}.get(name, name if len(name) == 1 else None))
    if up:
        page.key("keyUp", name, code, key_code)


def count(page):
    return page.evaluate("[window.kirmavo.frames, window.__sound.starts.length, window.kirmavo.ms]")


def live_test(browser, url, soundtrack, ticks, frames_dir, server, shots):
    page = browser.open(url, before_load=SOUND_HOOK)
    page.wait_for("window.kirmavo && window.kirmavo.phase === 'ready'")
    print("      the page was ready for the click %.0f ms after it was opened" % page.evaluate("window.kirmavo.readyAt"))
    page.click(400, 250)
    page.wait_for("window.kirmavo.firstFrameAt !== null", timeout=10)
    first = page.evaluate("window.kirmavo.firstFrameAt - window.kirmavo.gestureAt")
    check(first < 1000, "live: first frame %.0f ms after the click" % first)

    time.sleep(1.0)
    cpu0, wall0 = browser_cpu_seconds(browser.process.pid), time.monotonic()
    f0 = page.evaluate("[window.kirmavo.frames, performance.now()]")
    time.sleep(2.0)
    f1 = page.evaluate("[window.kirmavo.frames, performance.now()]")
    cpu = (browser_cpu_seconds(browser.process.pid) - cpu0) / (time.monotonic() - wall0)
    fps = (f1[0] - f0[0]) * 1000 / (f1[1] - f0[1])
    check(50 <= fps <= 70, "live: %.1f frames a second" % fps)
    print("      the browser's processes used %.0f%% of one core while the show played" % (100 * cpu))
    check(page.evaluate("window.__sound.context && window.__sound.context.state") == "running",
          "live: the audio context is running")
    handed = Handed(page, 0)
    expect_soundtrack(handed, soundtrack, 0, "live")
    check_sync(handed, ticks, 0, "live")

    page.send("Input.dispatchMouseEvent", {"type": "mouseMoved", "x": 300, "y": 300})
    time.sleep(0.3)
    screenshot(page, os.path.join(shots, "playing.png"))

    # Mute: through the gain, heard at once.
    key(page, "m", "KeyM", 77)
    mute = page.evaluate("window.kirmavo.sound.muteLatencyMs")
    check(page.evaluate("document.getElementById('mute').getAttribute('aria-pressed')") == "true" and mute <= 150,
          "latency: the mute is heard %.0f ms after the key" % mute)
    key(page, "m", "KeyM", 77)

    # Pause: nothing moves, no sound is made, the clock stands.
    key(page, "p", "KeyP", 80)
    page.wait_for("window.kirmavo.sound.pauseStopped !== undefined", timeout=5)
    stopped = page.evaluate("(window.kirmavo.sound.pauseStopped - window.kirmavo.sound.pauseHeard) * 1000")
    check(stopped <= 150, "latency: the pause is heard %.0f ms after the key" % stopped)
    c0 = count(page)
    time.sleep(0.5)
    c1 = count(page)
    screenshot(page, os.path.join(shots, "paused.png"))
    check(c0 == c1 and page.evaluate("window.kirmavo.phase") == "paused",
          "pause: no frame, no sound and the clock stopped at %d ms for 0.5 s" % c0[2])
    check(page.evaluate("document.getElementById('announce').textContent").startswith("Paused")
          and "scene" in page.evaluate("document.getElementById('screen').getAttribute('aria-label')"),
          "accessibility: the pause is announced, the picture names its scene (%s)"
          % page.evaluate("document.getElementById('screen').getAttribute('aria-label')"))
    link = page.evaluate("document.getElementById('link').click(); window.kirmavo.link")
    check(link.endswith("/index.html?at=%d" % c1[2]), "pause: Link to this moment gives %s" % link)
    # Resume: the next sample follows the last with no gap, and picture and sound agree as from the start.
    # Resumed from the keyboard through the controls: Tab to the play button, Enter.
    n, since = page.evaluate("[window.__sound.starts.length, performance.now()]")
    key(page, "Tab", "Tab", 9)
    focused = page.evaluate("document.activeElement.id")
    key(page, "Enter", "Enter", 13)
    time.sleep(1.2)
    handed = Handed(page, 0)
    check(focused == "play" and page.evaluate("window.kirmavo.ms") > c1[2],
          "resume: Tab reaches the play button, Enter plays on from %d ms" % c1[2])
    gap = (handed.when[n] - handed.when[n - 1]) * RATE - handed.frames
    check(abs(gap) < 0.01, "resume: the sound goes on from the next sample (%.2f frames between)" % gap)
    expect_soundtrack(handed, soundtrack, 0, "resume")
    check_sync(handed, ticks, 0, "resume", from_buffer=n, since=since)

    # Space held fast-forwards (with no control focused, where Space would
    # work the control); its first changed sample is heard soon.
    page.evaluate("document.activeElement.blur()")
    n = len(handed.when)
    before = page.evaluate("window.kirmavo.position")
    page.key("keyDown", " ", "Space", 32)
    time.sleep(1.0)
    page.key("keyUp", " ", "Space", 32)
    after = page.evaluate("window.kirmavo.position")
    check(after - before >= 50, "live: a second of Space moved the position from %d to %d" % (before, after))
    handed = Handed(page, 0)
    key_at = page.evaluate("window.kirmavo.keyAt")
    changed = next(i for i in range(4 * n * handed.frames, len(handed.pcm)) if handed.pcm[i] != soundtrack[i])
    k, offset = divmod(changed // 4, handed.frames)
    latency = handed.heard(k, offset) - key_at
    check(latency <= 150, "latency: Space is heard %.0f ms after the key" % latency)

    # Seeks, backwards and forwards, while paused: the frame is capture's, then the sound is capture's.
    for target in SEEKS:
        if page.evaluate("window.kirmavo.phase") == "playing":
            key(page, "p", "KeyP", 80)
        n = page.evaluate("window.__sound.starts.length")
        page.evaluate("(function (s) { s.value = %d; s.dispatchEvent(new Event('change')); })"
                      "(document.getElementById('seek'))" % target)
        seek_ms, shown, from_frame = page.evaluate(
            "[window.kirmavo.seekMs, window.kirmavo.seekShown, window.kirmavo.seekFrom]")
        _, _, expected = read_png(os.path.join(frames_dir, frame_name(shown)))
        frame = canvas_rgb(page)
        differ = sum(1 for i in range(0, len(expected), 3) if frame[i:i + 3] != expected[i:i + 3])
        check(differ == 0 and seek_ms < 1500,
              "seek to %d ms took %.0f ms; %d pixels differ from capture's frame at %d" % (target, seek_ms, differ, shown))
        key(page, "p", "KeyP", 80)
        time.sleep(1.5)
        after = Handed(page, n)
        expect_soundtrack(after, soundtrack, from_frame, "seek to %d" % target)
        check_sync(after, ticks, from_frame, "seek to %d" % target)
        if target == SEEKS[-1]:
            break
        # The arrow keys seek 5 s while playing; the new sound comes once the replay is done.
        ms = page.evaluate("window.kirmavo.ms")
        key(page, "ArrowRight", "ArrowRight", 39)
        time.sleep(0.3)
        shown, started, took, n = page.evaluate("[window.kirmavo.seekShown, window.kirmavo.seekStartedAt, "
                                                "window.kirmavo.seekMs, window.kirmavo.seekBuffer]")
        heard = Handed(page, n).heard(0) - started
        check(4900 <= shown - ms <= 5200,
              "keys: Right seeks from %d to %d ms; the replay took %.0f ms, the new sound is heard %.0f ms after the key"
              % (ms, shown, took, heard))

    # Escape ends picture and sound.
    key(page, "Escape", "Escape", 27)
    page.wait_for("window.kirmavo.phase === 'ended'", timeout=5)
    c0 = count(page)
    time.sleep(0.5)
    c1 = count(page)
    check(c0 == c1, "live: after Escape no frame and no sound is made")
    check("ended" in page.evaluate("document.getElementById('message').textContent")
          and "ended" in page.evaluate("document.getElementById('announce').textContent"),
          "live: the page says and announces that the show has ended")

    # Play again from the keyboard alone, ten times: one program, memory and listeners flat.
    server.shutdown()
    server.server_close()
    focused = []

    def replay():
        focused.append(page.evaluate("document.activeElement.textContent") == "Play again")
        key(page, "Enter", "Enter", 13)
        page.wait_for("window.kirmavo.phase === 'playing' && window.kirmavo.frames > 5", timeout=10)
        key(page, "Escape", "Escape", 27)
        page.wait_for("window.kirmavo.phase === 'ended'", timeout=5)

    def metrics():
        page.evaluate("window.__sound.starts = []")  # the test's own record of the sound
        page.send("HeapProfiler.collectGarbage")
        values = {m["name"]: m["value"] for m in page.send("Performance.getMetrics")["metrics"]}
        return values["JSHeapUsedSize"], values["JSEventListeners"], values["Nodes"]

    page.send("Performance.enable")
    replay()
    check(page.evaluate("window.__sound.context.state") == "running",
          "replay: the show plays again from the keyboard, with the server gone")
    m1, pss1 = metrics(), browser_memory_mb(browser.process.pid)
    for _ in range(9):
        replay()
    m10, pss10 = metrics(), browser_memory_mb(browser.process.pid)
    print("      the browser's processes held %.0f MB after the first replay, %.0f MB after the tenth" % (pss1, pss10))
    flat = all(b <= a * 1.05 for a, b in zip(m1, m10))
    check(flat and all(focused),
          "replay: ten times by Enter on the focused Play again; after the tenth %.2f MB of heap, %d listeners, "
          "%d nodes (after the first: %.2f MB, %d, %d)" % (m10[0] / 1e6, m10[1], m10[2], m1[0] / 1e6, m1[1], m1[2]))
    origin = url.split("/index.html")[0] + "/"
    elsewhere = [e["params"]["request"]["url"] for e in browser.events
                 if e.get("method") == "Network.requestWillBeSent" and e.get("sessionId") == page.session
                 and not e["params"]["request"]["url"].startswith(origin)
                 and not e["params"]["request"]["url"].startswith("data:")]
    check(not elsewhere, "live: nothing was fetched from another site %s" % (elsewhere or ""))
    noise = [e["params"] for e in browser.events if e.get("sessionId") == page.session
             and e.get("method") in ("Runtime.consoleAPICalled", "Runtime.exceptionThrown")]
    check(not noise, "live: nothing on the console %s" % (noise[:2] or ""))
    page.close()


def starting_test(browser, url, shots):
    """Only a gesture that lets sound start begins the show; a click while loading is kept."""
    page = browser.open("about:blank")
    # 1.6 Mbit/s, as a slow mobile connection, and nothing from the cache.
    page.send("Network.setCacheDisabled", {"cacheDisabled": True})
    page.send("Network.emulateNetworkConditions", {"offline": False, "latency": 40,
                                                  "downloadThroughput": 1.6e6 / 8, "uploadThroughput": 1.6e6 / 8})
    page.send("Page.navigate", {"url": url})
    page.wait_for("window.kirmavo && window.kirmavo.phase === 'loading' && "
                  "/Received/.test(document.getElementById('progress').textContent)", timeout=10)
    progress = page.evaluate("document.getElementById('progress').textContent")
    page.click(400, 250)
    page.wait_for("window.kirmavo.phase === 'playing'", timeout=60)
    ready = page.evaluate("window.kirmavo.readyAt")
    check(page.evaluate("window.kirmavo.pendingStart") is not None,
          "starting: a click while loading (\"%s\") starts the show when ready, %.1f s after opening at 1.6 Mbit/s"
          % (progress, ready / 1000))
    page.close()

    page = browser.open(url)
    page.wait_for("window.kirmavo && window.kirmavo.phase === 'ready'")
    screenshot(page, os.path.join(shots, "ready.png"))
    for name, code, key_code in (("Escape", "Escape", 27), ("Shift", "ShiftLeft", 16), ("Control", "ControlLeft", 17),
                                 ("Alt", "AltLeft", 18), ("Tab", "Tab", 9), ("F5", "F5", 116)):
        if name != "F5":
            key(page, name, code, key_code)
    time.sleep(0.3)
    check(page.evaluate("window.kirmavo.phase === 'ready' && window.kirmavo.frames === 0"),
          "starting: Escape, Shift, Control, Alt and Tab leave the page ready, no show started")
    check(page.evaluate("document.activeElement.tagName") == "BUTTON",
          "starting: Tab moves to the page's buttons (%s)" % page.evaluate("document.activeElement.textContent"))
    page.close()


def sound_off_test(browser, url):
    """A browser that keeps the sound off: the show waits and says so; a
    button turns the sound on. A hidden page pauses the show."""
    page = browser.open(url, before_load="""
        window.__allowSound = false;
        (function () {
            var resume = AudioContext.prototype.resume;
            AudioContext.prototype.resume = function () {
                return window.__allowSound ? resume.call(this) : Promise.resolve();
            };
            var Real = AudioContext;
            window.AudioContext = function (options) {
                var context = new Real(options);
                if (!window.__allowSound) context.suspend();
                return context;
            };
        })();""")
    page.wait_for("window.kirmavo && window.kirmavo.phase === 'ready'")
    page.click(400, 250)
    page.wait_for("/sound/.test(document.getElementById('message').textContent) && "
                  "!document.getElementById('notice').hidden", timeout=5)
    text = page.evaluate("document.getElementById('message').textContent")
    check(page.evaluate("window.kirmavo.frames") == 0,
          "sound off: the show waits and says \"%s\"" % text)
    page.evaluate("window.__allowSound = true; document.querySelector('#actions button').click()")
    page.wait_for("window.kirmavo.frames > 30", timeout=10)
    page.evaluate("Object.defineProperty(document, 'hidden', { value: true, configurable: true });"
                  "document.dispatchEvent(new Event('visibilitychange'))")
    check(page.evaluate("window.kirmavo.phase") == "paused",
          "sound off: Turn the sound on plays the show; a hidden page pauses it")
    page.close()


def failure_test(browser, site, work, shots):
    """A damaged site says which file and what to do, within 2 s; never Loading for ever."""
    variants = {}
    for name, damage in (("cut", ("kirmavo.data", lambda b: b[:len(b) // 2])),
                         ("corrupt", ("kirmavo.wasm", lambda b: b[:8] + bytes(64) + b[72:])),
                         ("missing", ("kirmavo.data", None))):
        folder = os.path.join(work, "site-" + name)
        os.makedirs(folder, exist_ok=True)
        for part in ("index.html", "kirmavo.js", "kirmavo.wasm", "kirmavo.data"):
            with open(os.path.join(site, part), "rb") as f:
                data = f.read()
            if part == damage[0]:
                if damage[1] is None:
                    continue
                data = damage[1](data)
            with open(os.path.join(folder, part), "wb") as f:
                f.write(data)
        variants[name] = (serve(folder), damage[0])
    for name, (server, part) in variants.items():
        page = browser.open("http://127.0.0.1:%d/index.html" % server.server_address[1])
        opened = time.monotonic()
        page.wait_for("window.kirmavo && window.kirmavo.failure", timeout=10)
        took = time.monotonic() - opened
        text = page.evaluate("document.getElementById('message').textContent")
        if name == "cut":
            screenshot(page, os.path.join(shots, "failed.png"))
        check(part in text and "whole" in text and took < 2,
              "failure, %s %s: \"%s\" after %.1f s" % (name, part, text, took))
        page.close()
        server.shutdown()
        server.server_close()

    page = browser.open("file://" + os.path.join(site, "index.html"))
    page.wait_for("window.kirmavo && window.kirmavo.failure", timeout=5)
    text = page.evaluate("document.getElementById('message').textContent")
    check("web server" in text and "python3 -m http.server" in text, "failure, file://: \"%s\"" % text)
    page.close()

    page = browser.open("about:blank")
    page.send("Emulation.setScriptExecutionDisabled", {"value": True})
    page.send("Page.navigate", {"url": "file://" + os.path.join(site, "index.html")})
    time.sleep(0.5)
    text = page.evaluate("document.body.innerText")
    check("JavaScript" in text and "Loading" not in text,
          "failure, JavaScript off: \"%s\"" % text.split("\n")[0])
    page.close()


# The first position of each scene (app/show_cues.h), for telling which
# scene a frame shows.
SCENE_FIRSTS = [music_pos(order, 0) for order in (0, 3, 5, 7, 9, 10, 12)]


def moment_test(browser, url):
    """The seek bar's marks are where the scenes start, to the frame; ?at=
    takes whole milliseconds from 0 to the show's length, and says so otherwise."""
    page = browser.open(url)
    page.wait_for("window.kirmavo && window.kirmavo.phase === 'ready'")
    starts, shown = page.evaluate("""(function (k) {
        var shown = [];
        k.scenes.forEach(function (ms) {
            [Math.max(0, ms - 17), ms].forEach(function (t) {
                k.program._web_still(t);
                shown.push(k.program._web_position());
            });
        });
        return [k.scenes, shown];
    })(window.kirmavo)""")
    scenes = [sum(1 for first in SCENE_FIRSTS if pos >= first) for pos in shown]
    check(scenes == [1, 1] + [n for i in range(2, 8) for n in (i - 1, i)],
          "scene marks at %s ms: the frame before each shows the scene before" % starts)
    page.close()
    for value in ("-5", "abc", "", "1e309", "99999999", "12.5"):
        page = browser.open("%s?at=%s" % (url, value))
        page.wait_for("window.kirmavo && window.kirmavo.phase === 'ready'")
        text = page.evaluate("document.getElementById('message').textContent")
        check("whole milliseconds" in text, "?at=%s: \"%s\"" % (value, text))
        page.close()


def phone_test(browser, url, shots):
    """At phone sizes, by touch: no text cut off, every control at least 44 px."""
    for width, height in ((390, 844), (844, 390)):
        page = browser.open("about:blank")
        page.send("Emulation.setDeviceMetricsOverride", {"width": width, "height": height,
                                                         "deviceScaleFactor": 1, "mobile": True})
        page.send("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 1})
        page.send("Page.navigate", {"url": url})
        page.wait_for("window.kirmavo && window.kirmavo.phase === 'ready'")
        screenshot(page, os.path.join(shots, "phone-%dx%d-ready.png" % (width, height)))
        for kind in ("touchStart", "touchEnd"):
            page.send("Input.dispatchTouchEvent", {"type": kind, "touchPoints": [] if kind == "touchEnd" else
                                                   [{"x": width / 2, "y": height / 4}]})
        page.wait_for("window.kirmavo.phase === 'playing' && window.kirmavo.frames > 10", timeout=10)
        page.send("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": [{"x": 5, "y": 5}]})
        page.send("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})
        time.sleep(0.4)
        screenshot(page, os.path.join(shots, "phone-%dx%d-playing.png" % (width, height)))
        found = page.evaluate("""(function () {
            var clipped = [], small = [], vw = innerWidth, vh = innerHeight;
            document.querySelectorAll('p, span, button, input').forEach(function (e) {
                var r = e.getBoundingClientRect();
                if (!r.width || getComputedStyle(e).visibility === 'hidden' || e.closest('.sr-only')) return;
                if (e.scrollHeight > e.clientHeight + 1 || e.scrollWidth > e.clientWidth + 1 ||
                    r.top < -1 || r.left < -1 || r.bottom > vh + 1 || r.right > vw + 1)
                    clipped.push((e.id || e.className || e.tagName) + ' ' + Math.round(r.top) + '..' + Math.round(r.bottom));
                if ((e.tagName === 'BUTTON' || e.tagName === 'INPUT') && (r.width < 44 || r.height < 44))
                    small.push((e.id || e.textContent) + ' ' + Math.round(r.width) + 'x' + Math.round(r.height));
            });
            return { clipped: clipped, small: small, controls: document.querySelectorAll('#controls button:not([hidden]), #controls input').length };
        })()""")
        check(not found["clipped"] and not found["small"] and found["controls"] >= 7,
              "phone %dx%d by touch: %d controls, clipped %s, under 44 px %s"
              % (width, height, found["controls"], found["clipped"], found["small"]))
        page.close()


def whole_show_test(browser, url, soundtrack):
    """The whole show at 60 fps with one core kept busy: no underrun, the sound is capture's."""
    busy = subprocess.Popen([sys.executable, "-c", "while True: pass"])
    try:
        page = browser.open(url, before_load=SOUND_HOOK)
        page.wait_for("window.kirmavo && window.kirmavo.phase === 'ready'")
        page.click(400, 250)
        page.wait_for("window.kirmavo.phase === 'ended'", timeout=150, poll=0.5)
    finally:
        busy.kill()
        busy.wait()
    handed = Handed(page, 0)
    underruns, at, wait = page.evaluate(
        "(function (s) { return [s.underruns, s.underrunAt, s.longestWaitMs]; })(window.kirmavo.sound)")
    gaps = sum(1 for a, b in zip(handed.when, handed.when[1:]) if abs((b - a) * RATE - handed.frames) > 0.01)
    # An underrun is the page's fault unless the page, or the output itself,
    # stalled for longer than the sound queued ahead (a starved machine).
    starved = [u for u in at if u[1] > u[2]]
    check(gaps == underruns and len(starved) == underruns,
          "whole show with a core busy: %d underruns in %d buffers%s; the page waited at most %.0f ms to feed the sound"
          % (underruns, len(handed.when), (" (at [ms, stalled, queued]: %s)" % at) if at else "", wait))
    compared = expect_soundtrack(handed, soundtrack, 0, "whole show")
    check(compared * 4 == len(soundtrack), "whole show: all of capture's soundtrack was played (%.1f s)" % (compared / RATE))
    page.close()


def screenshot(page, path):
    shot = page.send("Page.captureScreenshot", {"format": "png"})
    with open(path, "wb") as f:
        f.write(base64.b64decode(shot["data"]))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    native, web = (os.path.abspath(p) for p in sys.argv[1:])
    site = os.path.join(web, "site")
    work = tempfile.mkdtemp(prefix="kirmavo-web-test-")
    shots = os.path.join(work, "screenshots")
    os.makedirs(shots)
    started = time.monotonic()

    # 1. capture under node against the native capture.
    capture([os.path.join(native, "tools/capture/capture")], STILLS + SEEKS, None,
            os.path.join(work, "native"), os.path.join(work, "native.wav"), native)
    os.environ.setdefault("NODE_PATH", "/usr/share/nodejs")
    capture(["node", os.path.join(web, "cmake/tools/capture/capture.js")], STILLS, max(STILLS),
            os.path.join(work, "node"), os.path.join(work, "node.wav"), native)
    names = sorted(os.listdir(os.path.join(work, "node")))
    same = [n for n in names if open(os.path.join(work, "native", n), "rb").read() ==
            open(os.path.join(work, "node", n), "rb").read()]
    check(len(names) == len(STILLS) and len(same) == len(names),
          "node: %d of %d frames equal native capture's" % (len(same), len(names)))
    soundtrack = wav_samples(os.path.join(work, "native.wav"))
    node_sound = wav_samples(os.path.join(work, "node.wav"))
    check(soundtrack[:len(node_sound)] == node_sound and len(node_sound) > 4 * RATE * 100,
          "node: the soundtrack (%.0f s) equals native capture's" % (len(node_sound) / 4 / RATE))
    ticks = tick_trace(native)

    server = serve(site)
    base = "http://127.0.0.1:%d/index.html" % server.server_address[1]
    with cdp.Browser() as browser:
        # 2. The still view, and Play from here on the last.
        for ms in STILLS:
            page = browser.open("%s?at=%d" % (base, ms))
            page.wait_for("window.kirmavo && window.kirmavo.phase === 'still'")
            shown = canvas_rgb(page)
            _, _, expected = read_png(os.path.join(work, "native", frame_name(ms)))
            differ = sum(1 for i in range(0, len(expected), 3) if shown[i:i + 3] != expected[i:i + 3])
            check(differ == 0, "still view at %d ms: %d pixels differ from capture's frame" % (ms, differ))
            if ms == STILLS[-1]:
                label = page.evaluate("document.getElementById('message').textContent")
                screenshot(page, os.path.join(shots, "still.png"))
                page.evaluate("document.querySelector('#actions button').click()")
                page.wait_for("window.kirmavo.phase === 'playing' && window.kirmavo.frames > 5", timeout=10)
                check(label == "Kirmavo at 1:45.000" and page.evaluate("window.kirmavo.seekShown") == ms
                      and page.evaluate("window.kirmavo.ms") >= ms,
                      "still view: labelled \"%s\", Play from here plays from %d ms" % (label, ms))
            page.close()
        moment_test(browser, base)
        starting_test(browser, base, shots)
        failure_test(browser, site, work, shots)
        phone_test(browser, base, shots)
        whole_show_test(browser, base, soundtrack)

        # 3. The live page, its keys, seeks and replays.
        sound_off_test(browser, base)
        live_test(browser, base, soundtrack, ticks, os.path.join(work, "native"), server, shots)
    print("      screenshots in %s" % shots)
    print("browser tests: %d failures, %.0f s" % (len(FAILURES), time.monotonic() - started))
    sys.exit(1 if FAILURES else 0)


if __name__ == "__main__":
    main()
