// The start-up steps the demo and capture share: what is read from data/
// before SDL starts, and what follows once the audio side is open.
//
// Entry points:
//   startup_load(show, module, size, why)   the 16 pictures, the mesh, the
//                                      effect tables and the module file; 0,
//                                      or the exit status 1: after "Couldn't
//                                      open pic: %s" for a picture, silently
//                                      for the mesh (also when mesh_check
//                                      refuses it) and the module, missing or
//                                      unreadable, naming file and reason in
//                                      `why` when given (the demo says
//                                      nothing). `size` gets the module's
//                                      bytes read.
//   startup_hand_over(show, module, size)   the module to the player (which
//                                      keeps pointing into it), then the work
//                                      buffers filled; call after the audio
//                                      side is open. The player's verdict:
//                                      false when it refused the module (the
//                                      show runs anyway, silent)
//   startup_first_position()           the first polls, until the position
//                                      is 100 or less (0 before any row)
#pragma once

#include "app/assets.h"
#include "app/show.h"

#include <cstdint>
#include <span>
#include <string>

// Which data file start-up could not use, and why.
struct StartupFailure {
    std::string file;  // its path, as opened
    const char* reason = nullptr;
};

int startup_load(Show& show, std::span<uint8_t, MODULE_BYTES> module, int32_t& size,
                 StartupFailure* why = nullptr);
bool startup_hand_over(Show& show, std::span<uint8_t, MODULE_BYTES> module, int32_t size);
void startup_first_position();
