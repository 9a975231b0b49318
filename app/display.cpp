#include "app/display.h"

#include "app/present.h"

#include <SDL.h>

#include <cstdio>

#ifndef KIRMAVO_DOUBLED
#error "build with KIRMAVO_DOUBLED set to 0 (demo) or 1 (demo2x)"
#endif

namespace {

#if KIRMAVO_DOUBLED
constexpr int MODE_WIDTH = 2 * FRAME_WIDTH, MODE_HEIGHT = 2 * FRAME_HEIGHT;
constexpr Uint32 MODE_FLAGS = 0;  // a software surface
#else
constexpr int MODE_WIDTH = FRAME_WIDTH, MODE_HEIGHT = FRAME_HEIGHT;
constexpr Uint32 MODE_FLAGS = SDL_HWSURFACE | SDL_DOUBLEBUF;
#endif
constexpr int MODE_DEPTH = 32;

struct Display {
    SDL_Surface* surface = nullptr;
    Uint32 red_mask = 0;      // read once, when the mode is set
    FrameBuffer offscreen{};  // the canvas unless frames are drawn in place
    FrameView canvas{offscreen};
    bool in_place = false;  // canvas is the surface memory itself
};

Display display;

}  // namespace

bool display_open(bool windowed)
{
    const Uint32 flags = MODE_FLAGS | (windowed ? 0 : SDL_FULLSCREEN);
    display.surface = SDL_SetVideoMode(MODE_WIDTH, MODE_HEIGHT, MODE_DEPTH, flags);
    if (!display.surface || display.surface->format->BitsPerPixel != MODE_DEPTH) {
        std::fprintf(stderr, "Kirmavo: no %dx%dx%d display: %s\n", MODE_WIDTH, MODE_HEIGHT, MODE_DEPTH,
                     SDL_GetError());
        return false;
    }
    display.red_mask = display.surface->format->Rmask;
    return true;
}

FrameView display_begin_frame()
{
    SDL_LockSurface(display.surface);
    // Drawn straight into the surface when its rows are exactly a frame's
    // rows; a padded surface gets an off-screen frame copied row by row.
    display.in_place = !KIRMAVO_DOUBLED && display.surface->pitch == FRAME_WIDTH * 4;
    display.canvas = display.in_place
                         ? FrameView{static_cast<uint32_t*>(display.surface->pixels), FRAME_PIXELS}
                         : FrameView{display.offscreen};
    return display.canvas;
}

void display_end_frame()
{
    present_fix_colour(display.canvas, display.red_mask);
    auto* pixels = static_cast<uint8_t*>(display.surface->pixels);
    if (KIRMAVO_DOUBLED)
        present_double(display.canvas, pixels, display.surface->pitch);
    else if (!display.in_place)
        present_copy(display.canvas, pixels, display.surface->pitch);
    SDL_UnlockSurface(display.surface);
    SDL_Flip(display.surface);
}
