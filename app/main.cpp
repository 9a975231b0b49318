// The entry routine: load everything from data/, open the display, then run
// the frame loop. Every asset is read before SDL starts, so a missing file
// ends the program before any window opens.
#include "assets.h"
#include "command_line.h"
#include "display.h"
#include "main_loop.h"
#include "show.h"

#include <SDL.h>

#include <cstdio>

namespace {

// Static storage for the whole run; nothing here is ever freed.
Show show;
std::array<uint8_t, MODULE_BYTES> module_data; // the player points into it

} // namespace

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
    if (!display_open(windowed)) {
        SDL_Quit();
        return 1;
    }
    SDL_ShowCursor(SDL_DISABLE);
    SDL_WM_SetCaption("Kirmavo", nullptr);

    show_prepare_work(show);
    return main_loop_run();
}
