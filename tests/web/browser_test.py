#!/usr/bin/env python3
"""The browser build against the Linux build.

    tests/web/browser_test.py NATIVE_BUILD WEB_BUILD

1. capture compiled to WebAssembly and run under node writes the same frames
   and soundtrack, byte for byte, as the native capture.
2. In headless Chromium, the page's still view (?at=MS) shows capture's frame
   at MS pixel for pixel, at instants in every scene.
3. The live page: the first frame within 1 s of the click that starts it,
   about 60 frames a second, the audio context running, the samples handed to
   it equal to the soundtrack from the start, each row's stamp equal to the
   time its stamped frame is heard, Space fast-forwarding, Escape ending
   picture and sound, and the show playing again.
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
BUFFER = 4096  # frames per device buffer
ROWS = 64  # rows per pattern
SHOW_ORDERS = 14  # order entries the show plays


def music_pos(order, row):
    """The MusicPos of a row, as core/music_pos.h makes it."""
    return order * 100 + row

# Two instants in every scene (ms of the show's clock), the first scene's
# first frame among them; the scenes change every 7680 ms of music.
STILLS = [0, 12000, 24000, 36000, 40000, 52500, 55500, 66000, 70000, 75000,
          78000, 90000, 93000, 105000]
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
    """The frames at the instants, and the soundtrack from the start to `to`."""
    for args in (["--at", ",".join(map(str, at)), "--frames", frames], ["--to", str(to), "--wav", wav]):
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
                          "-s", "60", os.path.join(native, "data/music.mod")],
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
        window.__sound.starts.push({ when: when, at: performance.now(), pcm: pcm });
        window.__sound.context = this.context;
        return start.apply(this, arguments);
    };
})();
"""


def live_test(browser, url, soundtrack, ticks, server):
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
    time.sleep(3.0)
    f1 = page.evaluate("[window.kirmavo.frames, performance.now()]")
    cpu = (browser_cpu_seconds(browser.process.pid) - cpu0) / (time.monotonic() - wall0)
    fps = (f1[0] - f0[0]) * 1000 / (f1[1] - f0[1])
    check(50 <= fps <= 70, "live: %.1f frames a second" % fps)
    print("      the browser's processes used %.0f%% of one core while the show played" % (100 * cpu))
    check(page.evaluate("window.__sound.context && window.__sound.context.state") == "running",
          "live: the audio context is running")

    # Everything handed to the audio context so far, and when it plays.
    handed = page.evaluate("""(function () {
        var starts = window.__sound.starts, n = starts.length;
        var all = new Int16Array(n * %d);
        for (var i = 0; i < n; i++) all.set(starts[i].pcm, i * %d);
        var bytes = new Uint8Array(all.buffer), s = '';
        for (var i = 0; i < bytes.length; i += 8192) s += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
        var out = window.__sound.context.getOutputTimestamp();
        var rows = %s.map(function (pos) { return window.kirmavo.instance._web_row_time(pos); });
        return { pcm: btoa(s), when: starts.map(function (x) { return x.when; }),
                 contextTime: out.contextTime, performanceTime: out.performanceTime,
                 origin: window.kirmavo.instance.clockOrigin, rows: rows };
    })()""" % (2 * BUFFER, 2 * BUFFER, [music_pos(o, r) for o in range(SHOW_ORDERS) for r in range(ROWS)]))
    pcm = base64.b64decode(handed["pcm"])
    buffers = len(handed["when"])
    same = buffers > 10 and pcm == soundtrack[:len(pcm)]
    check(same, "live: the %d buffers handed to the audio context equal capture --wav from the start" % buffers)
    if not same:
        differ = next((i for i in range(min(len(pcm), len(soundtrack))) if pcm[i] != soundtrack[i]), None)
        silent = [k for k in range(buffers) if not any(pcm[k * 4 * BUFFER:(k + 1) * 4 * BUFFER])]
        print("      first byte that differs: %s (buffer %s); silent buffers: %s; start times: %s"
              % (differ, None if differ is None else differ // (4 * BUFFER), silent[:8],
                 ["%.3f" % w for w in handed["when"][:6]]))

    # A row is stamped at the first pass of the pacing loop after the chunk
    # that holds its first tick: the next tick or the next buffer, whichever
    # comes first. Its stamp must be when that frame comes out.
    def heard_ms(frame):
        k, offset = divmod(frame, BUFFER)
        context_time = handed["when"][k] + offset / RATE
        return handed["performanceTime"] + (context_time - handed["contextTime"]) * 1000 - handed["origin"]

    worst, worst_row, lag, checked = 0.0, None, 0.0, 0
    for i, (frame, order, row, tick) in enumerate(ticks[:-1]):
        index = order * ROWS + row  # the rows were asked for entry by entry
        if tick != 0 or index >= len(handed["rows"]):
            continue
        stamped = min(ticks[i + 1][0], (frame // BUFFER + 1) * BUFFER)
        if stamped // BUFFER >= buffers - 1:
            break
        stamp = handed["rows"][index]
        error = stamp - heard_ms(stamped)
        if abs(error) >= abs(worst):
            worst, worst_row = error, music_pos(order, row)
        lag = max(lag, stamp - heard_ms(frame))
        checked += 1
    check(checked > 20 and abs(worst) <= 17,
          "live: %d row stamps within %.1f ms of when their stamped frame is heard (worst: position %s)"
          % (checked, abs(worst), worst_row))
    print("      (a row's stamp is up to %.1f ms after its first frame is heard: one tick, by the pacing rule)" % lag)

    # Space fast-forwards.
    before = page.evaluate("window.kirmavo.position")
    page.key("keyDown", " ", "Space", 32)
    time.sleep(1.0)
    page.key("keyUp", " ", "Space", 32)
    after = page.evaluate("window.kirmavo.position")
    # Playing, a second is 8 rows.
    check(after - before >= 50, "live: a second of Space moved the position from %d to %d" % (before, after))

    # Escape ends picture and sound.
    page.key("keyDown", "Escape", "Escape", 27)
    page.key("keyUp", "Escape", "Escape", 27)
    page.wait_for("window.kirmavo.phase === 'ended'", timeout=5)
    frames0 = page.evaluate("[window.kirmavo.frames, window.__sound.starts.length]")
    time.sleep(0.5)
    frames1 = page.evaluate("[window.kirmavo.frames, window.__sound.starts.length]")
    state = page.evaluate("window.__sound.context.state")
    check(frames0 == frames1 and state == "closed",
          "live: after Escape no frame and no sound is made, the audio context is %s" % state)
    check("ended" in page.evaluate("document.getElementById('message').textContent"),
          "live: the page says the show has ended")

    # And it plays again, with sound, with the server gone.
    server.shutdown()
    server.server_close()
    page.evaluate("document.querySelector('#notice button').click()")
    page.wait_for("window.kirmavo.frames > 30", timeout=10)
    time.sleep(0.5)
    check(page.evaluate("window.__sound.context.state") == "running",
          "live: the show plays again, with the server gone")
    origin = url.split("/index.html")[0] + "/"
    elsewhere = [e["params"]["request"]["url"] for e in browser.events
                 if e.get("method") == "Network.requestWillBeSent" and e.get("sessionId") == page.session
                 and not e["params"]["request"]["url"].startswith(origin)]
    check(not elsewhere, "live: nothing was fetched from another site %s" % (elsewhere or ""))
    page.close()


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    native, web = (os.path.abspath(p) for p in sys.argv[1:])
    site = os.path.join(web, "site")
    work = tempfile.mkdtemp(prefix="kirmavo-web-test-")
    started = time.monotonic()

    # 1. capture under node against the native capture.
    to = max(STILLS)
    capture([os.path.join(native, "tools/capture/capture")], STILLS, to,
            os.path.join(work, "native"), os.path.join(work, "native.wav"), native)
    os.environ.setdefault("NODE_PATH", "/usr/share/nodejs")
    capture(["node", os.path.join(web, "cmake/tools/capture/capture.js")], STILLS, to,
            os.path.join(work, "node"), os.path.join(work, "node.wav"), native)
    names = sorted(os.listdir(os.path.join(work, "native")))
    same = [n for n in names if open(os.path.join(work, "native", n), "rb").read() ==
            open(os.path.join(work, "node", n), "rb").read()]
    check(len(names) == len(STILLS) and len(same) == len(names),
          "node: %d of %d frames equal native capture's" % (len(same), len(names)))
    soundtrack = wav_samples(os.path.join(work, "native.wav"))
    check(soundtrack == wav_samples(os.path.join(work, "node.wav")),
          "node: the soundtrack (%.0f s) equals native capture's" % (len(soundtrack) / 4 / RATE))

    server = serve(site)
    base = "http://127.0.0.1:%d/index.html" % server.server_address[1]
    with cdp.Browser() as browser:
        # 2. The still view.
        for ms in STILLS:
            page = browser.open("%s?at=%d" % (base, ms))
            page.wait_for("window.kirmavo && window.kirmavo.phase === 'still'")
            shown = canvas_rgb(page)
            page.close()
            _, _, expected = read_png(os.path.join(work, "native", frame_name(ms)))
            differ = sum(1 for i in range(0, len(expected), 3) if shown[i:i + 3] != expected[i:i + 3])
            check(differ == 0, "still view at %d ms: %d pixels differ from capture's frame" % (ms, differ))

        # 3. The live page.
        live_test(browser, base, soundtrack, tick_trace(native), server)
    print("browser tests: %d failures, %.0f s" % (len(FAILURES), time.monotonic() - started))
    sys.exit(1 if FAILURES else 0)


if __name__ == "__main__":
    main()
