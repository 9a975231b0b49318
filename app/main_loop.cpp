#include "app/main_loop.h"

#include "app/display.h"
#include "app/input.h"
#include "core/clock.h"
#include "sound/player/player_clock.h"

#include <SDL.h>

namespace {

// The show ends after the first frame past order entry 13, row 62.
constexpr int32_t LAST_POSITION = 1362;

// 44100 bytes are 11025 frames: a quarter of a second of music, unheard.
constexpr int FAST_FORWARD_BYTES = 44100;

}  // namespace

int main_loop_run()
{
    InputState input;
    int32_t ff_step = 0;
    for (;;) {
        pt_poll_position();
        const int32_t now = int32_t(clock_ms());
        display_begin_frame();
        const int32_t pos = pt_get_position();

        input.quit = pos > LAST_POSITION;
        const FastForward ff = input_fast_forward(input, now, ff_step);
        if (ff.jump) {
            pt_lock_audio();
            pt_audio_callback(nullptr, nullptr, FAST_FORWARD_BYTES);
            pt_unlock_audio();
        }
        SDL_Event event;
        while (SDL_PollEvent(&event))
            input_apply(input, event);

        display_end_frame();
        if (input.quit)
            break;
        ff_step = ff.step;
    }
    SDL_Quit();
    return 0;
}
