// Keyboard handling of the frame loop. Space held fast-forwards the music,
// Escape ends the show after the current frame; every other event, the
// window's close request included, is ignored.
//
// Entry points:
//   input_apply(input, event)   fold one SDL event into the input state
#pragma once

#include <SDL.h>

struct InputState {
    bool ff_held = false; // Space is down
    bool quit = false;    // Escape was pressed in this frame
};

void input_apply(InputState& input, const SDL_Event& event);
