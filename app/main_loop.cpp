#include "app/main_loop.h"

#include "app/display.h"
#include "app/frame.h"
#include "app/input.h"
#include "app/signals.h"
#include "core/clock.h"
#include "sound/player/player_clock.h"

#include <SDL.h>

namespace {

// 44100 bytes are 11025 frames: a quarter of a second of music, unheard.
constexpr int FAST_FORWARD_BYTES = 44100;

// The frame's input step, between the scene and the layers over it.
struct InputStep {
    InputState& input;
    int32_t now;
    int32_t ff_step;
    FastForward ff{};
};

void input_step(void* context)
{
    InputStep& step = *static_cast<InputStep*>(context);
    step.ff = input_fast_forward(step.input, step.now, step.ff_step);
    if (step.ff.jump) {
        pt_lock_audio();
        pt_audio_callback(nullptr, nullptr, FAST_FORWARD_BYTES);
        pt_unlock_audio();
    }
    SDL_Event event;
    while (SDL_PollEvent(&event))
        input_apply(step.input, event);
}

}  // namespace

int main_loop_run(Show& show)
{
    InputState input;
    int32_t ff_step = 0;
    for (;;) {
        pt_poll_position();
        const int32_t now = int32_t(clock_ms());
        const FrameView canvas = display_begin_frame();
        const int32_t pos = pt_get_position();
        input.quit = pos > MAIN_LOOP_LAST_POSITION;

        InputStep step{input, now, ff_step};
        frame_draw(show, now, pos, canvas, FrameInterlude{input_step, &step});

        display_end_frame();
        if (input.quit || signals_quit_asked())
            break;
        ff_step = step.ff.step;
    }
    SDL_Quit();
    return 0;
}
