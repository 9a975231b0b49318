// The show in a web browser: one program instance for the page's whole life.
// It reads its data and opens the display once; every start, seek and
// replay then resets the show's state (each subsystem its own reset) and
// runs it again, so nothing is rebuilt and nothing piles up.
//
// A run goes live from any moment: the frames before it are replayed on the
// virtual clock as capture plays them, so the frame at the moment is
// exactly the still view's (capture --at's), and from there the frame loop
// turns once per animation frame on the clock of the sound output
// (sound_out.js), which makes the music a short buffer at a time.
//
// Entry points, for the page (page.js):
//   main()               data read, display open, the timeline measured;
//                        then Module.onReady(length_ms), or
//                        Module.onFailed(file, reason)
//   web_still(ms)        the frame at ms shown, no sound; the moment drawn
//   web_play(ms)         the live show from ms (0: from the start); the
//                        moment of the frame shown
//   web_sound_from()     the frame of music (from the show's start) that
//                        the live run's first buffer begins with
//   web_pause(paused)    the frame loop halted or going on (the page stops
//                        and restarts the sound with it)
//   web_fast_forward(held), web_end()   Space held; Escape
//   web_sound_make()     the next buffer of music, WEB_BUFFER_FRAMES frames
//   web_scene_start(i)   the ms at which scene i (1..SCENE_COUNT) is first
//                        shown; web_show_length() the last frame's ms
//   web_position(), web_row_time(pos)   the MusicPos of the last frame
//                        and pt_position_time, for the page's tests
// Callbacks the page sets on its Module: onFrame(pos, ms) after every frame
// shown, onShowEnd() when the show has ended.
#include "app/display.h"
#include "app/headless_run.h"
#include "app/main_loop.h"
#include "app/show.h"
#include "app/show_cues.h"
#include "app/startup.h"
#include "core/clock.h"
#include "core/sound_rates.h"
#include "sound/player/player_clock.h"

#include <SDL.h>
#include <emscripten.h>

#include <algorithm>
#include <array>

namespace {

// Frames per buffer of the live sound (11.6 ms): small, so that a key's
// effect on the music is heard soon. Must match sound_out.js.
constexpr int32_t WEB_BUFFER_FRAMES = 512;
// A module that never reaches the show's end is measured this far.
constexpr int64_t TIMELINE_LIMIT_MS = 20 * 60 * 1000;
constexpr int32_t FPS = 60;

// Static storage for the whole page, as in the Linux programs.
struct WebShow {
    Show show;
    std::array<uint8_t, MODULE_BYTES> module_file;  // as read; the player converts its copy in place
    std::array<uint8_t, MODULE_BYTES> module;
    int32_t module_size = 0;
    HeadlessRun run;       // the virtual part of the current run
    FrameBuffer frame;     // the replay's frames
    MainLoop loop{show};   // the live part
    bool looping = false;  // the browser turns the loop
    bool paused = false;
    std::array<int32_t, SCENE_COUNT> scene_start{};  // ms
    int32_t length_ms = 0;
    int64_t live_from = 0;  // the live run's first frame of music (stereo frames from the show's start)
    std::array<int16_t, 2 * WEB_BUFFER_FRAMES> sound{};
};

WebShow web;

}  // namespace

// The browser's side, in JavaScript; Module is the page's module object,
// Module.sound the output of sound_out.js.
// clang-format off
EM_JS(int32_t, sound_clock_ms, (), { return Module.sound.clockMs(); });
EM_JS(int32_t, sound_delay_ms, (), { return Module.sound.delayMs(); });
EM_JS(int, sound_holding, (), { return Module.sound.holding() ? 1 : 0; });
EM_JS(void, sound_feed, (), { Module.sound.feed(); });
EM_JS(void, sound_anchor, (double from_ms, int32_t hold_ms), { Module.sound.anchor(from_ms, hold_ms); });
EM_JS(void, sound_stop, (), { Module.sound.stop(); });

EM_JS(void, page_ready, (int32_t length_ms), {
    if (Module.onReady) Module.onReady(length_ms);
});

EM_JS(void, page_failed, (const char* file, const char* reason), {
    if (Module.onFailed) Module.onFailed(UTF8ToString(file), UTF8ToString(reason));
});

EM_JS(void, page_frame_shown, (int32_t pos, int32_t ms), {
    if (Module.onFrame) Module.onFrame(pos, ms);
});

EM_JS(void, page_show_ended, (), {
    if (Module.onShowEnd) Module.onShowEnd();
});

// The page's icon: the middle square of a picture of the show, scaled to 32x32.
EM_JS(void, page_icon, (const uint32_t* argb, int32_t width, int32_t height), {
    var big = document.createElement("canvas");
    big.width = width;
    big.height = height;
    var image = big.getContext("2d").createImageData(width, height);
    for (var i = 0; i < width * height; i++) {
        var p = HEAPU32[(argb >> 2) + i];
        image.data.set([(p >> 16) & 255, (p >> 8) & 255, p & 255, 255], 4 * i);
    }
    big.getContext("2d").putImageData(image, 0, 0);
    var icon = document.createElement("canvas");
    icon.width = icon.height = 32;
    var side = Math.min(width, height);
    icon.getContext("2d").drawImage(big, (width - side) / 2, (height - side) / 2, side, side, 0, 0, 32, 32);
    var link = document.querySelector("link[rel=icon]");
    if (link) link.href = icon.toDataURL("image/png");
});
// clang-format on

namespace {

uint32_t live_clock() { return uint32_t(sound_clock_ms()); }
int32_t live_delay() { return sound_delay_ms(); }

// Back to the state of a program that has just started: the show's fresh
// start (headless_fresh_start), the module as read (the player converts it
// in place); then the player, the mixer and the clock opened on the virtual
// clock at 0.
void run_reset()
{
    if (web.looping) {
        emscripten_cancel_main_loop();
        web.looping = false;
    }
    sound_stop();
    headless_fresh_start(web.show);
    web.module = web.module_file;
    pt_set_output_delay(nullptr);
    web.run = HeadlessRun{};
    web.run.fps = FPS;
    headless_start_show(web.run, web.show, web.module, web.module_size);
    web.loop.input = InputState{};
    web.loop.ff_step = 0;
}

// The frames up to `at` on the virtual clock; the frame at `at` (the first
// at or after it, or the show's last) shown. Its moment, ms.
int32_t run_replay(int64_t at)
{
    while (web.run.moment_ms < at && headless_step(web.run, web.show, web.frame)) {
    }
    const FrameView canvas = display_begin_frame();
    std::copy(web.frame.begin(), web.frame.end(), canvas.begin());
    display_end_frame();
    return int32_t(std::max<int64_t>(0, web.run.moment_ms));
}

// When each scene of the cue table is first shown and when the show ends,
// on the virtual clock: the music alone played to the end, and a frame
// shows the row whose stamp its moment has passed (pt_poll_position).
void measure_timeline()
{
    run_reset();
    const auto first_frame_after = [](int32_t stamp) {
        const int64_t k = int64_t(stamp) * FPS / 1000 + 1;
        return int32_t(headless_frame_ms(k, FPS));
    };
    while (pt_position_time(SHOW_LAST_POSITION + 1) == PT_NOT_HEARD &&
           headless_buffer_ms(web.run.buffers) < TIMELINE_LIMIT_MS)
        headless_feed_buffer(web.run);
    web.length_ms =
        first_frame_after(std::min<int32_t>(pt_position_time(SHOW_LAST_POSITION + 1), TIMELINE_LIMIT_MS));
    // The first scene shows from the first frame, before any row is heard.
    for (size_t scene = 1; scene < SCENE_STARTS.size(); scene++) {
        const int32_t stamp = pt_position_time(SCENE_STARTS[scene]);
        web.scene_start[scene] = stamp == PT_NOT_HEARD ? web.length_ms : first_frame_after(stamp);
    }
}

void turn(void*)
{
    if (web.paused || sound_holding())
        return;
    const bool going = main_loop_turn(web.loop);
    page_frame_shown(pt_get_position(), int32_t(clock_ms()));
    sound_feed();
    if (going)
        return;
    emscripten_cancel_main_loop();
    web.looping = false;
    sound_stop();
    page_show_ended();
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int32_t web_still(int32_t ms)
{
    run_reset();
    return run_replay(ms);
}

EMSCRIPTEN_KEEPALIVE int32_t web_play(int32_t ms)
{
    run_reset();
    int32_t shown = 0;
    if (ms > 0)
        shown = run_replay(ms);
    // The music made so far on the virtual clock ends at a device buffer;
    // the live buffers go on from there.
    web.live_from = web.run.buffers * DEVICE_BUFFER_FRAMES;
    const double from_ms = double(web.live_from) * 1000 / SAMPLE_RATE;
    sound_anchor(from_ms, shown);
    clock_set_source(live_clock);
    pt_set_buffer_frames(WEB_BUFFER_FRAMES);
    pt_set_output_delay(live_delay);
    web.looping = true;
    emscripten_set_main_loop_arg(turn, nullptr, 0, 0);
    return shown;
}

EMSCRIPTEN_KEEPALIVE int32_t web_sound_from() { return int32_t(web.live_from); }

EMSCRIPTEN_KEEPALIVE void web_pause(int paused) { web.paused = paused != 0; }

EMSCRIPTEN_KEEPALIVE void web_fast_forward(int held) { web.loop.input.ff_held = held != 0; }

EMSCRIPTEN_KEEPALIVE void web_end() { web.loop.input.escape = true; }

EMSCRIPTEN_KEEPALIVE const int16_t* web_sound_make()
{
    // The mixer adds into the buffer.
    web.sound.fill(0);
    pt_audio_callback(nullptr, reinterpret_cast<uint8_t*>(web.sound.data()), int(web.sound.size() * 2));
    return web.sound.data();
}

EMSCRIPTEN_KEEPALIVE int32_t web_scene_start(int32_t scene)
{
    return scene >= 1 && scene <= SCENE_COUNT ? web.scene_start[size_t(scene - 1)] : -1;
}

EMSCRIPTEN_KEEPALIVE int32_t web_show_length() { return web.length_ms; }

EMSCRIPTEN_KEEPALIVE int32_t web_position() { return pt_get_position(); }

EMSCRIPTEN_KEEPALIVE int32_t web_row_time(int32_t pos) { return pt_position_time(pos); }

}  // extern "C"

int main()
{
    StartupFailure why;
    if (startup_load(web.show, web.module_file, web.module_size, &why) != 0) {
        page_failed(why.file.empty() ? "a picture" : why.file.c_str(),
                    why.reason ? why.reason : "it could not be decoded");
        return 1;
    }
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || !display_open(true)) {
        page_failed("the display", SDL_GetError());
        return 1;
    }
    SDL_WM_SetCaption("Kirmavo", nullptr);
    measure_timeline();
    const Picture& icon = web.show.pictures[PICTURE_EMBLEM];
    page_icon(icon.argb(), icon.width, icon.height);
    page_ready(web.length_ms);
    return 0;
}
