#include "main_loop.h"

#include "display.h"
#include "input.h"

#include <SDL.h>

int main_loop_run()
{
    InputState input;
    for (;;) {
        display_begin_frame();

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
