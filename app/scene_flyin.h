// The fly-in's paint image, which scene 4 paints and scene 5 turns to colour.
//
// Entry points:
//   scene_paint_image(show)   the first 76800 bytes of work_c: one byte a
//                             pixel, 320 a row, zero at the start of a run
#pragma once

#include "app/show.h"
#include "core/frame_buffer.h"

#include <cstdint>
#include <span>

inline std::span<uint8_t, FRAME_PIXELS> scene_paint_image(Show& show)
{
    return std::span<uint8_t, FRAME_PIXELS>(reinterpret_cast<uint8_t*>(show.work_c.data()), FRAME_PIXELS);
}
