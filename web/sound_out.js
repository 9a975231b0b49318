// The page's sound output and the clock the show runs on while it plays.
//
// The program makes the music a short buffer at a time (web_sound_make,
// WEB_BUFFER_FRAMES stereo frames of 16-bit samples); this schedules each
// buffer on the audio context right after the one before, a few buffers
// ahead of what is being heard, through one gain node (volume and mute).
// The show's clock is read from the same output: clockMs() is the moment
// of the music coming out of the speakers now, so a suspended context
// (pause) stops picture and sound together, and after a resume they go on
// from the same frame and the next sample.
//
// Module.sound:
//   open()            the context and the gain, on the gesture that starts
//                     the show (browsers let sound start only then)
//   anchor(fromMs, holdMs)   a run goes live: the next buffer made holds the
//                     music from fromMs of the show's clock, and the clock
//                     stands at holdMs (the frame on screen) until the
//                     sound reaches it
//   clockMs(), delayMs()   the player's clock and output delay (web/main.cpp)
//   feed()            make buffers until the queue is full again
//   pause(), resume(), stop()   stop() drops the queue (an end or a seek)
//   setVolume(v), setMuted(m)
//   hasSound(), running(), paused(), holding()   a context was had; it
//                     runs (sound can be heard); paused; the clock stands
//                     at the frame on screen until the sound reaches it
//   stats             buffers made; underruns, each with the show's ms, the
//                     ms the page or the output stalled and the ms queued;
//                     the longest the page went without feeding the sound;
//                     for a pause the heard time at the key and the context
//                     time where it stopped; for a mute the ms until the
//                     change is heard
// No context (a browser without Web Audio): the same clock runs on
// performance.now(), and the page says the show is silent.
Module["sound"] = (function () {
  var RATE = 44100;
  var FRAMES = 512;                // per buffer: 11.6 ms
  // The sound queued beyond what is being rendered, in s: a key is heard
  // that much later, and a page that stalls longer than this breaks the
  // sound. It grows after each underrun, up to a limit.
  var AHEAD = 0.065, AHEAD_GROWTH = 0.02, AHEAD_MAX = 0.125;
  var LEAD = 0.03;                 // s from now to a fresh queue's first buffer
  var context = null, gain = null;
  var sources = [];                // scheduled and not yet ended
  var nextTime = 0;                // context time at which the next buffer starts
  var fresh = true;                // the next buffer starts a queue (no underrun when pinned)
  var offsetMs = 0;                // clock = heard context time * 1000 + offsetMs
  var holdMs = 0, lastMs = 0;
  var paused = false, frozen = 0;  // frozen: the heard time when paused
  var live = false, volume = 1, muted = false;
  // Without a context: a virtual output time that stops while paused.
  var virtualBase = 0, virtualSince = 0;
  // longestWaitMs: the longest the page went without topping the queue up.
  var stats = { buffers: 0, underruns: 0, underrunAt: [], ahead: AHEAD, longestWaitMs: 0 };

  function renderTime() {
    if (context) return context.currentTime;
    return paused ? virtualBase : virtualBase + (performance.now() - virtualSince) / 1000;
  }

  // The context time coming out of the speakers now. The output's timestamp
  // says it, carried on by the page's clock while it is fresh; while the
  // output (re)starts, after the start or a resume, it is not fresh yet and
  // the time waits for it rather than guess ahead of the sound. A browser
  // without timestamps (or one that never freshens them) has the context's
  // own clock and latency.
  var lastHeard = 0, staleSince = null;
  function heardTime() {
    if (paused) return frozen;
    if (!context) return renderTime();
    var now = performance.now();
    var out = context.getOutputTimestamp ? context.getOutputTimestamp() : null;
    var heard;
    if (out && out.contextTime * context.sampleRate >= 128 && now - out.performanceTime < 100) {
      heard = out.contextTime + (now - out.performanceTime) / 1000;
      staleSince = null;
    } else if (out && context.state === "running" && now - (staleSince === null ? (staleSince = now) : staleSince) < 500) {
      heard = lastHeard;
    } else {
      heard = context.currentTime - (context.outputLatency || 0) - (context.baseLatency || 0);
    }
    if (context.state !== "running") heard = Math.min(heard, context.currentTime);
    lastHeard = Math.max(heard, frozen, lastHeard);
    return lastHeard;
  }

  // Where the next buffer starts: right after the last, or, when the queue
  // has run dry, a little after now.
  function nextStart() {
    var now = renderTime();
    if (nextTime < now) {
      if (!fresh && live) {
        stats.underruns++;
        // [the show's ms, ms the page or the output stalled, ms queued]
        var stalled = Math.max(waited, lastFeed ? (now - lastRender) * 1000 : 0);
        stats.underrunAt.push([lastMs, Math.round(stalled), Math.round(AHEAD * 1000)]);
        AHEAD = Math.min(AHEAD_MAX, AHEAD + AHEAD_GROWTH);
        stats.ahead = AHEAD;
      }
      nextTime = now + LEAD;
    }
    fresh = false;
    return nextTime;
  }

  function clockMs() {
    var ms = Math.floor(heardTime() * 1000 + offsetMs);
    lastMs = Math.max(lastMs, holdMs, ms);
    return lastMs;
  }

  // Read right after clockMs by the player: the ms from that reading to
  // when the next buffer is heard.
  function delayMs() {
    return Math.round(nextStart() * 1000 + offsetMs) - lastMs;
  }

  function dropQueue() {
    sources.forEach(function (source) {
      source.onended = null;
      try { source.stop(); } catch (e) { /* never started */ }
      source.disconnect();
    });
    sources = [];
    nextTime = 0;
    fresh = true;
  }

  // When the feed last ran, on the page's clock and the output's, and how
  // long the page had gone without it then: an underrun is the page's
  // fault unless the page, or the output (a starved audio thread stops,
  // then catches up in a burst), stalled for longer than the queue.
  var lastFeed = 0, lastRender = 0, waited = 0;
  function feed() {
    if (!live || paused) return;
    var now = performance.now(), render = renderTime();
    waited = lastFeed ? now - lastFeed : 0;
    stats.longestWaitMs = Math.max(stats.longestWaitMs, waited);
    while (nextTime - renderTime() < AHEAD) {
      var start = nextStart();
      var at = Module["_web_sound_make"]() >> 1;
      var pcm = HEAP16.subarray(at, at + 2 * FRAMES);
      nextTime = start + FRAMES / RATE;
      stats.buffers++;
      if (!context) continue;
      var buffer = context.createBuffer(2, FRAMES, RATE);
      var left = buffer.getChannelData(0), right = buffer.getChannelData(1);
      for (var i = 0; i < FRAMES; i++) {
        left[i] = pcm[2 * i] / 32768;
        right[i] = pcm[2 * i + 1] / 32768;
      }
      var source = context.createBufferSource();
      source.buffer = buffer;
      source.connect(gain);
      source.onended = function () {
        this.disconnect();
        var i = sources.indexOf(this);
        if (i >= 0) sources.splice(i, 1);
      };
      source.start(start);
      sources.push(source);
    }
    lastFeed = now;
    lastRender = render;
  }

  function applyGain() {
    if (gain) gain.gain.setValueAtTime(muted ? 0 : volume * volume, context.currentTime);
  }

  var timer = null;
  return {
    stats: stats,
    open: function () {
      if (!context && (window.AudioContext || window.webkitAudioContext)) {
        var Context = window.AudioContext || window.webkitAudioContext;
        try { context = new Context({ latencyHint: "interactive", sampleRate: RATE }); }
        catch (e) { try { context = new Context(); } catch (e2) { context = null; } }
        if (context) {
          gain = context.createGain();
          gain.connect(context.destination);
          applyGain();
        }
      }
      if (context && context.state !== "running" && !paused) context.resume();
      return !!context;
    },
    hasSound: function () { return !!context; },
    running: function () { return !context || context.state === "running"; },
    anchor: function (fromMs, hold) {
      dropQueue();
      nextTime = renderTime() + LEAD;
      offsetMs = fromMs - nextTime * 1000;
      holdMs = lastMs = hold;
      if (paused) frozen = heardTime();
      live = true;
      if (!timer) timer = setInterval(feed, 10);
    },
    holding: function () { return heardTime() * 1000 + offsetMs < holdMs; },
    clockMs: clockMs,
    delayMs: delayMs,
    feed: feed,
    pause: function () {
      if (paused) return;
      lastFeed = 0;
      frozen = heardTime();
      if (!context) virtualBase = renderTime();
      paused = true;
      stats.pauseHeard = frozen;
      stats.pauseStopped = undefined;
      if (context) context.suspend().then(function () { stats.pauseStopped = context.currentTime; });
    },
    resume: function () {
      if (!paused) return;
      paused = false;
      virtualSince = performance.now();
      if (context) context.resume();
      feed();
    },
    paused: function () { return paused; },
    stop: function () {
      live = false;
      lastFeed = 0;
      dropQueue();
      if (timer) clearInterval(timer);
      timer = null;
    },
    setVolume: function (v) { volume = v; applyGain(); },
    setMuted: function (m) {
      muted = m;
      applyGain();
      // The change reaches the speakers with the render quantum at the context's time.
      if (context) stats.muteLatencyMs = (context.currentTime - heardTime() + 128 / context.sampleRate) * 1000;
    }
  };
})();
