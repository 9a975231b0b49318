// What the scenes keep from one frame to the next: gate times, one-time
// set-up markers and the overlay schedule. Part of the show's state, so a
// second run in one process (the tests, capture) starts from a fresh copy:
// the first frame of a fresh copy also resets the effects' own state.
#pragma once

#include "app/scene_tables.h"
#include "gfx/fx/overlays.h"

#include <array>
#include <cstdint>

struct SceneState {
    bool started = false;      // set by the first frame of a run
    int32_t step_time = 0;     // `now` of the last frame whose gated step ran (smoke, crawl)
    int32_t smoke_reseed = 0;  // reseed argument of the last smoke step, 0 or 1
    // One-time set-ups, never set back to -1: `now` of the fly-in's first
    // frame; `now` of the fade's first frame, then of its last fade step.
    int32_t flyin_start = -1;
    int32_t fade_time = -1;
    // OVERLAY_SCHEDULE with its pictures, bound on the first frame; the pass
    // counts the elapsed time into it for the whole run.
    std::array<OverlayRow, OVERLAY_ROWS> overlays{};
};
