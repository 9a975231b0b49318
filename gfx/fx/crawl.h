// Crawling lines: diagonal walkers that copy a target picture into a
// persistent work image one pixel per move, and branch at right angles.
//
// Entry points:
//   Walker                  one walker
//   fx_crawl(buf, target)   one step: at most 12 pixels drawn
//   fx_crawl_reset()        walkers unborn (start of a run)
//
// The first call starts one walker at (215, 180) going up-left with a life
// of 60 moves. A walker ends on a bright target pixel (red, green and blue
// all 128 or more), on a buffer pixel whose green and blue are both below
// 128, at the edge of the frame, and after its life. At a third and at two
// thirds of its life and at its end it starts a child in the lowest free
// slot, turned one way, the other way, then the first way again, with a
// life of 13 to 22 moves (one core_rand() per child).
#pragma once

#include "core/frame_buffer.h"
#include "gfx/picture/picture.h"

#include <cstdint>

struct Walker {
    int32_t dx, dy;  // step per move, -1 or +1 each
    int32_t x, y;    // current pixel
    int32_t steps;   // moves made since birth
    int32_t life;    // moves after which it ends
    int32_t active;  // 1 while it walks, 0 for a free slot
};

constexpr int CRAWL_WALKERS = 200;
constexpr int CRAWL_DOTS_PER_CALL = 12;

// `target` is read 320 words a row; a walker also ends where the picture
// has no pixel.
void fx_crawl(FrameView buf, const Picture& target);
void fx_crawl_reset();
