// Scene 7's finale pulse, apart from the drawing so it can be checked alone.
//
// Entry points:
//   scene_finale_strength(since)   the halftone strength `since` ms after
//                                  CUE_FINALE was heard: 260 at once, 0 about
//                                  3.14 s later, then back, every 6.28 s
#pragma once

#include <cstdint>

int32_t scene_finale_strength(int32_t since);
