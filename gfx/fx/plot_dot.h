// One dot of the smoke and crawl trails: a pixel set to a colour, with its
// four neighbours blended halfway towards it.
//
// Entry points:
//   fx_plot_dot(buf, i, colour)   pixel i = y * 320 + x
//
// Each neighbour (left, right, above, below, in that order) becomes
// ((n >> 1) & 0x7F7F7F) + ((colour >> 1) & 0x7F7F7F): both halves lose
// their low bit and the alpha byte, so no channel carries. Colour 0 leaves a
// black pixel in a darkened cross. Neighbours beyond the frame's edges are
// left out, and an index outside the frame draws nothing.
#pragma once

#include "core/frame_buffer.h"

#include <cstdint>

void fx_plot_dot(FrameView buf, int32_t i, uint32_t colour);
