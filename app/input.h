// Keyboard handling of the frame loop. Space held fast-forwards the music,
// Escape ends the show after the current frame; every other event, the
// window's close request included, is ignored.
//
// Entry points:
//   input_apply(input, event)   fold one SDL event into the input state
//   input_fast_forward(input, now, last_step)
//                               the 10 ms step `now` is in while Space is
//                               held (else last_step); the music jumps once
//                               for every step that differs from the last
#pragma once

#include <SDL.h>

#include <cstdint>

struct InputState {
    bool ff_held = false;  // Space is down
    bool escape = false;   // Escape was pressed: the show ends after this frame
};

struct FastForward {
    int32_t step;  // now / 10 while held, else the last step kept
    bool jump;     // run the music on by a quarter of a second
};

void input_apply(InputState& input, const SDL_Event& event);
FastForward input_fast_forward(const InputState& input, int32_t now, int32_t last_step);
