// What the scenes keep from one frame to the next: gate times, one-time
// set-up markers and the overlay schedule. Part of the show's state, so a
// second run in one process (the tests, capture) starts from a fresh copy.
#pragma once

#include <cstdint>

struct SceneState {
};
