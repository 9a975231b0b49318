// The entry routine: load everything from data/, open the display, then run
// the frame loop. Every asset is read before SDL starts, so a missing file
// ends the program before any window opens.
#include "app/command_line.h"
#include "app/display.h"
#include "app/main_loop.h"
#include "app/sdl_hints.h"
#include "app/show.h"
#include "app/signals.h"
#include "app/startup.h"
#include "core/clock.h"
#include "core/sound_rates.h"
#include "sound/player/player_clock.h"
#include "sound/player/player_device.h"

#include <SDL.h>

#include <cstdio>

namespace {

// Static storage for the whole run; nothing here is ever freed.
Show show;
std::array<uint8_t, MODULE_BYTES> module_data;  // the player points into it

}  // namespace

int main(int argc, char** argv)
{
    int32_t module_size = 0;
    if (const int status = startup_load(show, module_data, module_size))
        return status;
    const bool windowed = app_windowed(argc, argv);

    app_set_sdl_hints();

    // Audio gets its own start: on some SDL builds a missing sound driver
    // makes a combined start fail, video included. No sound is not fatal.
    // No parachute: SDL's handler for fatal signals (SIGQUIT, SIGSEGV, ...)
    // calls SDL_Quit inside the handler, which can hang in the X library
    // when the signal lands in the middle of a call to it; without it those
    // signals keep their default action.
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_NOPARACHUTE) < 0) {
        std::fprintf(stderr, "Kirmavo: SDL would not start: %s\n", SDL_GetError());
        return 1;
    }
    SDL_InitSubSystem(SDL_INIT_AUDIO);
    clock_set_source([] { return uint32_t(SDL_GetTicks()); });
    if (!display_open(windowed)) {
        SDL_Quit();
        return 1;
    }
    SDL_ShowCursor(SDL_DISABLE);
    SDL_WM_SetCaption("Kirmavo", nullptr);
    // Only now: SDL's start-up puts its own handlers in, which would make
    // the signals a close request.
    signals_install();

    // The show runs whether or not a device opened.
    pt_open_audio(SAMPLE_RATE, DEVICE_BUFFER_FRAMES);
    startup_hand_over(show, module_data, module_size);
    pt_start(50);
    startup_first_position();
    return main_loop_run(show);
}
