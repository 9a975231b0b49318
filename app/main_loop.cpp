#include "app/main_loop.h"

#include "app/display.h"
#include "app/frame.h"
#include "app/signals.h"
#include "core/sound_rates.h"
#include "sound/player/player_clock.h"

#include <SDL.h>

namespace {

// A quarter of a second of music, run unheard: 11025 frames of 4 bytes.
constexpr int32_t FAST_FORWARD_FRAMES = SAMPLE_RATE / 4;
constexpr int FAST_FORWARD_LENGTH = FAST_FORWARD_FRAMES * 4;  // bytes, as the callback takes it

// The frame's input step, between the scene and the layers over it.
void input_step(MainLoop& loop, int32_t now)
{
    const FastForward ff = input_fast_forward(loop.input, now, loop.ff_step);
    if (ff.jump) {
        pt_lock_audio();
        pt_audio_callback(nullptr, nullptr, FAST_FORWARD_LENGTH);
        pt_unlock_audio();
    }
    loop.ff_step = ff.step;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        input_apply(loop.input, event);
}

}  // namespace

bool main_loop_turn(MainLoop& loop)
{
    const FrameMoment moment = frame_moment();
    frame_draw(loop.show, moment.now, moment.pos, display_begin_frame(),
               [&] { input_step(loop, moment.now); });
    display_end_frame();
    return !(moment.ended || loop.input.escape || signals_quit_asked());
}

void main_loop_end()
{
    // The browser's SDL_Quit leaves the sound device running.
    SDL_CloseAudio();
    SDL_Quit();
}

int main_loop_run(Show& show)
{
    MainLoop loop{show};
    while (main_loop_turn(loop)) {
    }
    main_loop_end();
    return 0;
}
