"use strict";
// The page: a player for the show. It fetches the program and its data once
// and keeps one instance of the program for its whole life; ?at=MS shows
// the frame at MS ms of the show, with a button to play on from there.
(function () {
  var $ = function (id) { return document.getElementById(id); };
  var stage = $("stage"), canvas = $("screen"), notice = $("notice"), message = $("message");
  var controls = $("controls"), seek = $("seek"), status = $("status");
  var SCENES = ["the tower", "smoke and sprites", "circles and credits", "the painting flies in",
                "the fade", "the knot in the halftone", "the crawling lines"];
  var program = null, sound = null;

  // What the page has seen, for anyone watching it (the browser tests do).
  var state = window.kirmavo = {
    phase: "loading", readyAt: null, gestureAt: null, firstFrameAt: null, frames: 0,
    position: 0, ms: 0, endedAt: null, stillMs: null, length: 0, scenes: [],
    seekMs: null, seekFrom: null, program: null, keyAt: null, pendingStart: null, failure: null, log: [],
    shownAt: {}, sound: null  // shownAt[pos]: when that position was first shown (performance.now())
  };

  function clock(ms, exact) {
    var s = Math.floor(ms / 1000);
    var text = Math.floor(s / 60) + ":" + String(s % 60).padStart(2, "0");
    return exact ? text + "." + String(ms % 1000).padStart(3, "0") : text;
  }
  function announce(text) { $("announce").textContent = text; }
  function setStatus(text) { status.textContent = text; }
  function setPhase(phase) {
    state.phase = phase;
    document.body.className = phase;
  }

  // The notice over the picture: a sentence, and the buttons that apply.
  function say(text, buttons) {
    message.textContent = text;
    $("progress").textContent = "";
    var actions = $("actions");
    actions.textContent = "";
    (buttons || []).forEach(function (b) { actions.appendChild(b); });
    notice.classList.remove("label");
    notice.hidden = false;
  }
  function button(text, action) {
    var b = document.createElement("button");
    b.type = "button";
    b.textContent = text;
    b.addEventListener("click", function (event) { event.stopPropagation(); action(); });
    return b;
  }

  function fail(text) {
    if (state.failure) return;
    state.failure = text;
    setPhase("failed");
    controls.hidden = true;
    say(text);
    setStatus("The show can't be played here.");
  }

  // Loading: the three files with their progress, each failure named.
  var SITE = "Copy all four files of the site (index.html, kirmavo.js, kirmavo.wasm, kirmavo.data) whole, into one folder.";
  function broken(name, what) { return name + " " + what + ". " + SITE; }
  function siteError(text) {
    var error = new Error(text);
    error.named = true;  // says which file and what to do
    return error;
  }
  var progress = {};
  function showProgress() {
    if (state.phase !== "loading") return;
    var got = 0, total = 0;
    for (var name in progress) { got += progress[name][0]; total += progress[name][1]; }
    $("progress").textContent = "Received " + (got / 1e6).toFixed(1) + " MB" +
      (total ? " of " + (total / 1e6).toFixed(1) + " MB" : "");
  }
  function fetchFile(name) {
    return fetch(name).then(function (response) {
      if (!response.ok)
        throw siteError(broken(name, response.status === 404 ? "is missing from the site"
          : "could not be fetched (the server answered " + response.status + ")"));
      // A compressed transfer's length is not the file's.
      var encoded = (response.headers.get("Content-Encoding") || "identity") !== "identity";
      var total = encoded ? 0 : Number(response.headers.get("Content-Length")) || 0;
      var reader = response.body.getReader(), parts = [], got = 0;
      progress[name] = [0, total];
      function next() {
        return reader.read().then(function (chunk) {
          if (chunk.done) {
            if (total && got !== total) throw siteError(broken(name, "was cut short"));
            var all = new Uint8Array(got), at = 0;
            parts.forEach(function (p) { all.set(p, at); at += p.length; });
            return all.buffer;
          }
          parts.push(chunk.value);
          got += chunk.value.length;
          progress[name][0] = got;
          showProgress();
          return next();
        });
      }
      return next();
    }, function () {
      throw siteError(name + " could not be fetched: the connection to the server failed.");
    }).catch(function (error) {
      if (error.named) throw error;
      throw siteError(broken(name, "was cut short (the transfer broke off)"));
    });
  }
  function fetchScript(name) {
    return new Promise(function (resolve, reject) {
      var script = document.createElement("script");
      script.src = name;
      script.onload = function () {
        if (typeof createKirmavo === "function") resolve();
        else reject(siteError(broken(name, "is damaged")));
      };
      script.onerror = function () { reject(siteError(broken(name, "is missing from the site"))); };
      document.head.appendChild(script);
    });
  }

  function load() {
    var wasm = fetchFile("kirmavo.wasm").then(function (bytes) {
      return WebAssembly.compile(bytes).catch(function () {
        throw siteError(broken("kirmavo.wasm", "is damaged"));
      });
    });
    return Promise.all([wasm, fetchFile("kirmavo.data"), fetchScript("kirmavo.js")]).then(function (parts) {
      var compiled = parts[0], data = parts[1];
      return new Promise(function (resolve, reject) {
        var module = {
          canvas: canvas,
          doNotCaptureKeyboard: true,  // keys reach the show only through this page
          screenIsReadOnly: true,      // every frame is drawn whole
          instantiateWasm: function (imports, done) {
            WebAssembly.instantiate(compiled, imports).then(function (instance) { done(instance, compiled); },
              function () { reject(siteError(broken("kirmavo.wasm", "does not fit kirmavo.js"))); });
            return {};
          },
          getPreloadedPackage: function (name, size) {
            if (data.byteLength !== size) {
              reject(siteError(broken("kirmavo.data", data.byteLength < size ? "was cut short" : "is not the one kirmavo.js expects")));
              return new ArrayBuffer(size);
            }
            return data;
          },
          onReady: function (length) { resolve(length); },
          onFailed: function (file, reason) {
            reject(siteError(broken("kirmavo.data", "is damaged: " + file.replace(/^data\//, "") + " in it can't be read")));
          },
          onAbort: function () { reject(siteError(broken("kirmavo.wasm", "is damaged"))); },
          onFrame: frameShown,
          onShowEnd: showEnded,
          print: function (text) { state.log.push(text); },
          printErr: function (text) { state.log.push(text); }
        };
        program = state.program = module;
        try {
          createKirmavo(module).catch(function () {});
          sound = module.sound;
          state.sound = sound.stats;
        }
        catch (e) { reject(siteError(broken("kirmavo.js", "is damaged"))); }
      });
    });
  }

  // The timeline: the show's length and where each scene starts, from the program.
  function timeline(length) {
    state.length = length;
    seek.max = length;
    var marks = $("marks");
    for (var i = 1; i <= SCENES.length; i++) {
      var ms = program._web_scene_start(i);
      state.scenes.push(ms);
      var mark = document.createElement("span");
      mark.className = "mark";
      mark.style.left = (100 * ms / length) + "%";
      mark.title = "Scene " + i + ", " + SCENES[i - 1] + ", from " + clock(ms);
      mark.setAttribute("role", "img");
      mark.setAttribute("aria-label", mark.title);
      marks.appendChild(mark);
    }
  }
  function sceneAt(ms) {
    var scene = 1;
    state.scenes.forEach(function (start, i) { if (ms >= start) scene = i + 1; });
    return scene;
  }
  function describe(ms) {
    var scene = sceneAt(ms);
    return "scene " + scene + " of 7, " + SCENES[scene - 1];
  }
  var labelled = 0;
  function showMoment(ms) {
    state.ms = ms;
    if (!seeking) seek.value = ms;
    $("time").textContent = clock(ms) + " / " + clock(state.length);
    seek.setAttribute("aria-valuetext", clock(ms) + " of " + clock(state.length) + ", " + describe(ms));
    var scene = sceneAt(ms);
    if (scene !== labelled) {
      labelled = scene;
      canvas.setAttribute("aria-label", "Kirmavo, " + describe(ms));
    }
  }

  // Playing.
  var seeking = false, muted = false, notRunning = null;
  function frameShown(pos, ms) {
    if (state.firstFrameAt === null) state.firstFrameAt = performance.now();
    state.frames++;
    state.position = pos;
    if (!(pos in state.shownAt)) state.shownAt[pos] = performance.now();
    showMoment(ms);
  }
  function play(from) {
    if (state.phase === "failed") return;
    sound.open();
    state.gestureAt = performance.now();
    state.firstFrameAt = null;
    state.frames = 0;
    state.endedAt = null;
    notice.hidden = true;
    controls.hidden = false;
    if (sound.paused()) sound.resume();
    program._web_pause(0);
    go(from);
    setPhase("playing");
    playingNow();
    poke();
    if (!sound.hasSound()) setStatus("This browser gives the page no sound: the show plays silent.");
    clearTimeout(notRunning);
    notRunning = setTimeout(checkSound, 300);
  }
  // The run from `from` ms: the frames before it replayed, then live.
  function go(from) {
    var t0 = state.seekStartedAt = performance.now();
    state.shownAt = {};
    var shown = program._web_play(from);
    state.seekMs = performance.now() - t0;
    state.seekShown = shown;
    state.seekFrom = program._web_sound_from();
    state.seekBuffer = sound.stats.buffers;  // the run's first buffer, counted from the page's first
    showMoment(shown);
  }
  function checkSound() {
    if (state.phase !== "playing" || sound.running()) return;
    say("The browser has not let this page play sound yet, so the show is waiting.",
      [button("Turn the sound on", function () {
        sound.open();
        notice.hidden = true;
        setTimeout(checkSound, 300);
      })]);
  }
  function playingNow() {
    setStatus("Playing. Hold Space to fast-forward, P pauses, the arrow keys seek, M mutes, Escape ends the show.");
    setPlayButton(true);
    announce("Playing");
  }
  function setPlayButton(playing) {
    $("play").setAttribute("aria-label", playing ? "Pause" : "Play");
    $("play").title = playing ? "Pause (P)" : "Play (P)";
    $("play-icon").setAttribute("d", playing ? "M6 5h4v14H6zM14 5h4v14h-4z" : "M7 4l13 8-13 8z");
  }
  function pause() {
    if (state.phase !== "playing") return;
    fastForward(false);
    program._web_pause(1);
    sound.pause();
    setPhase("paused");
    setPlayButton(false);
    setStatus("Paused at " + clock(state.ms) + ". Press P or the play button to go on.");
    announce("Paused at " + clock(state.ms));
    poke();
  }
  function resume() {
    if (state.phase !== "paused") return;
    sound.open();
    sound.resume();
    program._web_pause(0);
    setPhase("playing");
    playingNow();
    poke();
  }
  function togglePause() { if (state.phase === "playing") pause(); else resume(); }
  function seekTo(ms) {
    ms = Math.max(0, Math.min(state.length, Math.round(ms)));
    if (state.phase === "ended" || state.phase === "ready" || state.phase === "still") return play(ms);
    if (state.phase !== "playing" && state.phase !== "paused") return;
    fastForward(false);
    go(ms);
    if (state.phase === "paused") {
      setStatus("Paused at " + clock(ms) + ". Press P or the play button to go on.");
      announce("Paused at " + clock(ms));
    }
  }
  var ffHeld = false;
  function fastForward(held) {
    if (held === ffHeld || (held && state.phase !== "playing")) return;
    ffHeld = held;
    if (held) state.keyAt = performance.now();
    program._web_fast_forward(held ? 1 : 0);
  }
  function setMuted(m) {
    muted = m;
    sound.setMuted(m);
    $("mute").setAttribute("aria-pressed", String(m));
    $("mute").setAttribute("aria-label", m ? "Unmute" : "Mute");
    $("mute-icon").style.display = m ? "none" : "";
    announce(m ? "Muted" : "Sound on");
  }
  function end() {
    if (state.phase === "playing" || state.phase === "paused") {
      if (state.phase === "paused") resume();
      program._web_end();
    }
  }
  function showEnded() {
    fastForward(false);
    setPhase("ended");
    state.endedAt = performance.now();
    controls.hidden = true;
    if (fullscreenElement()) exitFullscreen();
    var again = button("Play again", function () { play(0); });
    say("The show has ended.", [again]);
    setStatus("The show has ended. Play it again, or pick a moment with ?at= in the address.");
    announce("The show has ended");
    again.focus();
  }

  // The controls bar shows on mouse move, tap or focus, and hides after 2 s of quiet while playing.
  var idle = null;
  function poke() {
    document.body.classList.add("active");
    clearTimeout(idle);
    idle = setTimeout(function () {
      if (!controls.contains(document.activeElement) || state.phase !== "playing")
        document.body.classList.remove("active");
    }, 2000);
  }
  ["mousemove", "pointerdown", "touchstart", "focusin"].forEach(function (kind) {
    document.addEventListener(kind, poke, { passive: true });
  });

  $("play").addEventListener("click", togglePause);
  $("end").addEventListener("click", end);
  $("mute").addEventListener("click", function () { setMuted(!muted); });
  $("volume").addEventListener("input", function () {
    sound.setVolume(this.value / 100);
    if (muted && this.value > 0) setMuted(false);
  });
  seek.addEventListener("input", function () {
    seeking = true;
    $("time").textContent = clock(Number(seek.value)) + " / " + clock(state.length);
  });
  seek.addEventListener("change", function () {
    seeking = false;
    seekTo(Number(seek.value));
  });
  var fast = $("fast");
  fast.addEventListener("pointerdown", function (event) { event.preventDefault(); fastForward(true); });
  ["pointerup", "pointercancel", "pointerleave"].forEach(function (kind) {
    fast.addEventListener(kind, function () { fastForward(false); });
  });
  fast.addEventListener("contextmenu", function (event) { event.preventDefault(); });
  fast.addEventListener("keydown", function (event) {
    if (event.key === "Enter" || event.key === " ") { event.preventDefault(); event.stopPropagation(); fastForward(true); }
  });
  fast.addEventListener("keyup", function (event) {
    if (event.key === "Enter" || event.key === " ") fastForward(false);
  });

  function momentLink() {
    return location.href.split(/[?#]/)[0] + "?at=" + state.ms;
  }
  $("link").addEventListener("click", function () {
    var link = momentLink();
    state.link = link;
    var copied = navigator.clipboard && window.isSecureContext
      ? navigator.clipboard.writeText(link) : Promise.reject();
    copied.then(function () { announce("Copied the link to " + clock(state.ms, true)); }, function () {
      history.replaceState(null, "", link);
      announce("The address bar now holds the link to " + clock(state.ms, true));
    });
    $("link").textContent = "Link copied";
    setTimeout(function () { $("link").textContent = "Link to this moment"; }, 2000);
  });

  // Full screen, only where the browser has it, with the controls (and a way back) inside it.
  function fullscreenElement() { return document.fullscreenElement || document.webkitFullscreenElement || null; }
  function exitFullscreen() {
    (document.exitFullscreen || document.webkitExitFullscreen).call(document);
  }
  var enter = stage.requestFullscreen || stage.webkitRequestFullscreen;
  if (enter && (document.fullscreenEnabled || document.webkitFullscreenEnabled)) {
    $("fullscreen").hidden = false;
    $("fullscreen").addEventListener("click", toggleFullscreen);
    ["fullscreenchange", "webkitfullscreenchange"].forEach(function (kind) {
      document.addEventListener(kind, function () {
        var on = !!fullscreenElement();
        $("fullscreen").setAttribute("aria-label", on ? "Leave full screen" : "Full screen");
        $("fullscreen").title = on ? "Leave full screen (F or Escape)" : "Full screen (F)";
      });
    });
  }
  function toggleFullscreen() {
    if (!enter) return;
    if (fullscreenElement()) exitFullscreen();
    else { var p = enter.call(stage); if (p && p.catch) p.catch(function () {}); }
  }

  // Keys. Before the start only a key that lets sound start (Enter, Space,
  // a letter or digit) starts the show; while it plays the show's keys
  // apply; at any other time every key does what it does on any page.
  function startKey(event) {
    if (event.ctrlKey || event.altKey || event.metaKey) return false;
    return event.key === "Enter" || event.key === " " || /^[a-z0-9]$/i.test(event.key);
  }
  function onControl(event) {
    return event.target !== document.body && event.target.closest &&
      event.target.closest("button, input, a");
  }
  document.addEventListener("keydown", function (event) {
    var phase = state.phase;
    if (phase === "loading" || phase === "ready" || phase === "still") {
      if (!startKey(event) || (onControl(event) && (event.key === "Enter" || event.key === " "))) return;
      event.preventDefault();
      gesture();
      return;
    }
    if (phase !== "playing" && phase !== "paused") return;
    if (event.ctrlKey || event.altKey || event.metaKey) return;
    var control = onControl(event);
    if (control && (event.key === "Enter" || event.key === " ")) return;
    if (control && control.type === "range" && /^Arrow|^Home$|^End$|^Page/.test(event.key)) return;
    poke();
    var key = event.key.length === 1 ? event.key.toLowerCase() : event.key;
    switch (key) {
      case " ": if (!event.repeat) { state.keyAt = performance.now(); fastForward(true); } break;
      case "Escape": end(); break;
      case "p": case "k": state.keyAt = performance.now(); togglePause(); break;
      case "ArrowLeft": seekTo(state.ms - 5000); break;
      case "ArrowRight": seekTo(state.ms + 5000); break;
      case "m": state.keyAt = performance.now(); setMuted(!muted); break;
      case "f": toggleFullscreen(); break;
      default: return;
    }
    event.preventDefault();
  });
  document.addEventListener("keyup", function (event) {
    if (event.key === " " && ffHeld) { event.preventDefault(); fastForward(false); }
  });

  // A click or tap on the picture: the start gesture, remembered while loading.
  function gesture() {
    if (state.phase === "loading") {
      state.pendingStart = performance.now();
      $("message").textContent = "Loading the show… it starts as soon as it is loaded.";
      return;
    }
    if (state.phase === "ready") play(0);
    else if (state.phase === "still") play(state.stillMs);
  }
  stage.addEventListener("click", function (event) {
    if (event.target.closest("#controls") || event.target.closest("#actions button")) return;
    if (state.phase === "playing" || state.phase === "paused") {
      // A tap on the picture shows the controls; a click with a mouse pauses, as video players do.
      if (event.pointerType !== "touch" && document.body.classList.contains("active") && event.detail) togglePause();
      return;
    }
    gesture();
  });

  // The show pauses itself while the page is hidden, and shows itself paused on return.
  document.addEventListener("visibilitychange", function () {
    if (document.hidden && state.phase === "playing") pause();
  });

  // The still view: ?at= in whole milliseconds.
  var at = new URLSearchParams(location.search).get("at");
  function badMoment(length) {
    return "The address asks for the moment \u201c" + at + "\u201d, which the show doesn't have. " +
      "?at= takes whole milliseconds from 0 to " + length + ", for example ?at=23300.";
  }

  function ready(length) {
    timeline(length);
    state.readyAt = performance.now();
    if (at !== null) return still(length);
    setPhase("ready");
    var start = button("Play", function () { play(0); });
    say("Click, tap or press Enter to start the show. It has flashing images.", [start]);
    setStatus("Ready. The show runs for " + clock(length) + ", with sound.");
    if (state.pendingStart !== null) play(0);
  }

  function still(length) {
    if (!/^\d+$/.test(at) || Number(at) > length) {
      setPhase("ready");
      say(badMoment(length), [button("Play from the start", function () { play(0); })]);
      setStatus("Ready. The show runs for " + clock(length) + ", with sound.");
      return;
    }
    var ms = Number(at);
    say("Drawing the frame at " + clock(ms, true) + "…");
    // Let the sentence show before the frame is computed.
    setTimeout(function () {
      state.stillMs = ms;
      program._web_still(ms);
      setPhase("still");
      showMoment(ms);
      canvas.setAttribute("aria-label", "Kirmavo at " + clock(ms, true) + ", " + describe(ms));
      say("Kirmavo at " + clock(ms, true), [button("Play from here", function () { play(ms); })]);
      notice.classList.add("label");
      setStatus("A still frame of the show at " + clock(ms, true) + ". It has flashing images.");
      if (state.pendingStart !== null) play(ms);
    }, 30);
  }

  if (location.protocol === "file:") {
    fail("This page must be served by a web server: opened from a file, the browser won't let it load the show. " +
      "In the folder with the site's four files, run  python3 -m http.server  and open http://localhost:8000/");
    return;
  }
  load().then(ready, function (error) { fail(error.message); });
  // The rest of the page must never show a developer's text.
  window.addEventListener("unhandledrejection", function (event) { event.preventDefault(); });
})();
