#include "main_loop.h"

#include "clock.h"
#include "display.h"
#include "input.h"

#include <SDL.h>

int main_loop_run(Show& show)
{
    (void)show;
    InputState input;
    for (;;) {
        const int32_t now = int32_t(clock_ms());
        (void)now;
        const FrameView canvas = display_begin_frame();
        (void)canvas;

        input.quit = false;
        SDL_Event event;
        while (SDL_PollEvent(&event))
            input_apply(input, event);

        display_end_frame();
        if (input.quit)
            break;
    }
    SDL_Quit();
    return 0;
}
