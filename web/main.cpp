// The show in a web browser: the Linux programs' start-up, frame loop and
// frame path, started by the page (index.html) and turned by the browser.
//
// Entry points:
//   main()               everything read and the display open, ready for
//                        web_start (Module.onReady)
//   web_start()          the live show, on the page's start gesture: SDL's
//                        audio, the player started, one turn of the frame
//                        loop per animation frame; Module.onShowEnd at its end
//   main("--at", MS)     the still view: the frames before MS played on the
//                        virtual clock as capture plays them, the frame at MS
//                        (capture --at MS) shown, no sound
//   web_row_time(pos)    pt_position_time, for the page's tests; the clock
//                        reads performance.now() - Module.clockOrigin
//
// The page may set on its Module: onReady() when web_start may be called,
// onFrame(pos) after every frame shown, onShowEnd() when the show has ended,
// onStill(ms) when the still frame is up.
#include "app/display.h"
#include "app/frame.h"
#include "app/headless_run.h"
#include "app/main_loop.h"
#include "app/show.h"
#include "app/startup.h"
#include "core/clock.h"
#include "core/sound_rates.h"
#include "sound/player/player_clock.h"
#include "sound/player/player_device.h"

#include <SDL.h>
#include <emscripten.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Static storage for the whole run, as in the Linux programs.
Show show;
std::array<uint8_t, MODULE_BYTES> module_data;
int32_t module_size = 0;
double clock_origin = 0;  // performance.now() at start-up, ms

uint32_t page_clock() { return uint32_t(emscripten_get_now() - clock_origin); }

}  // namespace

// The browser's side, in JavaScript. SDL and Module are the names the
// emscripten runtime gives its SDL state and the page's module object.
// clang-format off

// When the buffer SDL is about to take from the player will be heard, in ms
// from now. SDL places it after the buffers already queued; the context's
// output timestamp says when a context time comes out of the speakers.
EM_JS(int32_t, audio_queue_delay_ms, (), {
    var audio = SDL.audio, context = SDL.audioContext;
    if (!audio || !context) return 0;
    var start = audio.nextPlayTime;
    if (start < context.currentTime + audio.bufferingDelay) {
        // The queue is empty (the first buffer, or the sound fell behind):
        // SDL would start the buffer as soon as it may when it gets it, on a
        // context clock that moves in steps. Pinned a little later, the time
        // stamped is the time it plays.
        start = context.currentTime + audio.bufferingDelay + 0.02;
        audio.nextPlayTime = start;
    }
    var now = performance.now();
    var out = context.getOutputTimestamp ? context.getOutputTimestamp() : null;
    // A timestamp goes stale while the context is silent (Chromium then
    // stops its output), and the ones taken before the first render quantum
    // (128 frames) is out are an output period early; the context's own
    // clock and latency serve then.
    var heard = out && out.contextTime * context.sampleRate >= 128 && now - out.performanceTime < 100
        ? out.performanceTime + (start - out.contextTime) * 1000
        : now + (start - context.currentTime + (context.outputLatency || 0)) * 1000;
    return Math.round(heard - now);
});

// The queued sound stops with its context; closing SDL's device only stops
// new buffers.
EM_JS(void, audio_context_close, (), {
    if (SDL.audioContext) SDL.audioContext.close();
});

// The context runs and its output has begun: a first render quantum (128
// frames) has come out. Until then its timestamps put context time 0 an
// output period (about 20 ms) early.
EM_JS(int, audio_output_running, (), {
    var context = SDL.audioContext;
    if (!context || context.state !== "running") return 0;
    var out = context.getOutputTimestamp ? context.getOutputTimestamp() : null;
    return !out || out.contextTime * context.sampleRate >= 128 ? 1 : 0;
});

EM_JS(void, page_ready, (), {
    if (Module.onReady) Module.onReady();
});

EM_JS(void, page_frame_shown, (int32_t pos), {
    if (Module.onFrame) Module.onFrame(pos);
});

EM_JS(void, page_show_ended, (), {
    if (Module.onShowEnd) Module.onShowEnd();
});

EM_JS(void, page_still_shown, (int32_t ms), {
    if (Module.onStill) Module.onStill(ms);
});

EM_JS(void, page_clock_origin, (double origin), {
    Module.clockOrigin = origin;
});

// clang-format on

extern "C" EMSCRIPTEN_KEEPALIVE int32_t web_row_time(int32_t pos) { return pt_position_time(pos); }

namespace {

// The player's device is started once the audio context is heard, or after
// a second without it: buffers queued before the output runs would be
// stamped for a start time the context then doesn't keep.
constexpr double OUTPUT_WAIT_MS = 1000;

struct LiveShow {
    MainLoop loop{show};
    bool started = false;  // pt_start has run
    double waiting_since = 0;
};

LiveShow live;

void turn(void*)
{
    if (!live.started &&
        (audio_output_running() || emscripten_get_now() - live.waiting_since > OUTPUT_WAIT_MS)) {
        pt_start(50);
        live.started = true;
    }
    const bool going = main_loop_turn(live.loop);
    page_frame_shown(pt_get_position());
    if (going)
        return;
    emscripten_cancel_main_loop();
    main_loop_end();
    audio_context_close();
    page_show_ended();
}

int prepare_live()
{
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) < 0 || !display_open(true))
        return 1;
    SDL_WM_SetCaption("Kirmavo", nullptr);
    // The cursor is hidden by the page: the browser's SDL hides it only in
    // full screen.
    page_ready();
    return 0;
}

}  // namespace

// The page calls this on the click or key that starts the show, so that the
// browser lets the sound start.
extern "C" EMSCRIPTEN_KEEPALIVE void web_start()
{
    SDL_InitSubSystem(SDL_INIT_AUDIO);
    clock_origin = emscripten_get_now();
    page_clock_origin(clock_origin);
    clock_set_source(page_clock);
    const bool device = pt_open_audio(SAMPLE_RATE, DEVICE_BUFFER_FRAMES) != 0;
    if (device)
        pt_set_output_delay(audio_queue_delay_ms);
    startup_hand_over(show, module_data, module_size);
    startup_first_position();
    live.started = !device;
    if (!device)
        pt_start(50);
    live.waiting_since = emscripten_get_now();
    emscripten_set_main_loop_arg(turn, nullptr, 0, 0);
}

namespace {

int run_still(int64_t at)
{
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || !display_open(true))
        return 1;
    static HeadlessRun run;
    static FrameBuffer frame;
    headless_start_show(run, show, module_data, module_size);
    while (run.moment_ms < at && headless_step(run, show, frame)) {
    }
    const FrameView canvas = display_begin_frame();
    std::copy(frame.begin(), frame.end(), canvas.begin());
    display_end_frame();
    page_still_shown(int32_t(run.moment_ms));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (const int status = startup_load(show, module_data, module_size))
        return status;
    if (argc == 3 && std::strcmp(argv[1], "--at") == 0)
        return run_still(std::max<int64_t>(0, std::atoll(argv[2])));
    return prepare_live();
}
