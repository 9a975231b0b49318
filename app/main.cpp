// The entry routine: load everything from data/, open the display, then run
// the frame loop. Every asset is read before SDL starts, so a missing file
// ends the program before any window opens.
#include "app/assets.h"
#include "app/command_line.h"
#include "app/display.h"
#include "app/main_loop.h"
#include "app/show.h"
#include "core/clock.h"
#include "sound/player/loader.h"
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
    if (const char* missing = assets_load_pictures(show.pictures)) {
        std::printf("Couldn't open pic: %s", missing);
        return 1;
    }
    if (!assets_read_mesh("data/mesh.bare", show.mesh_data))
        return 1;
    const int32_t module_size = assets_read_file("data/music.mod", module_data);
    if (module_size < 0)
        return 1;
    const bool windowed = app_windowed(argc, argv);

    // Audio gets its own start: on some SDL builds a missing sound driver
    // makes a combined start fail, video included. No sound is not fatal.
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) < 0) {
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

    // The show runs whether or not a device opened or the module was taken.
    pt_open_audio(44100, 4096);
    pt_load_module(module_data.data(), size_t(module_size));

    show_prepare_work(show);
    pt_start(50);
    // -1 until the first poll, which gives 0 while no row has been heard yet.
    pt_poll_position();
    while (uint32_t(pt_get_position()) > 100)
        pt_poll_position();
    return main_loop_run();
}
