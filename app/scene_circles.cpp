// Scene 3, the circles: the circle pattern drifting on one Lissajous path,
// ANDed with the mask drifting on another, under fifteen credit lines that
// appear one by one. Pictures 0 and 1 are read with their own widths; the
// windows move by up to 31 and 33 pixels.
//
// The float and double steps below are the show's timing: changing where
// single precision is used moves the windows by a pixel at some instants.
#include "app/scene_tables.h"
#include "app/scenes_list.h"
#include "gfx/fx/blit.h"

#include <algorithm>
#include <cmath>

namespace {

struct CircleOffsets {
    int32_t x1, y1;  // window into the pattern, 0..31
    int32_t x2, y2;  // window into the mask, 0..33
};

CircleOffsets circle_offsets(int32_t now)
{
    CircleOffsets o;
    o.x1 = int32_t(sinf(float(now) * 0.00071428571f) * 42.0f + 1000.0f) % 32;
    o.y1 = int32_t(cosf(float(now) * 0.00066666666f) * 32.0f + 1000.0f) % 32;
    float sn, cs;
    sincosf(float(now * 0.0005), &sn, &cs);
    const float later = float(int32_t(uint32_t(now) + 500));
    o.x2 = int32_t(sinf((cs * 500.0f + later) * (1.0f / 1500.0f)) * 40.0f + 1000.0f) % 34;
    o.y2 = int32_t(cosf((sn * -500.0f + later) * (1.0f / 1400.0f)) * 30.0f + 1000.0f) % 34;
    return o;
}

}  // namespace

void scene_circles(Show& show, int32_t now, int32_t pos, FrameView canvas)
{
    const CircleOffsets o = circle_offsets(now);
    const Picture& pattern = show.pictures[PICTURE_CIRCLES];
    const Picture& mask = show.pictures[PICTURE_CIRCLES_MASK];
    for (int32_t y = 0; y < FRAME_HEIGHT; y++) {
        const uint32_t* p = pattern.argb() + size_t(o.y1 + y) * size_t(pattern.width) + size_t(o.x1);
        const uint32_t* m = mask.argb() + size_t(o.y2 + y) * size_t(mask.width) + size_t(o.x2);
        uint32_t* row = canvas.data() + y * FRAME_WIDTH;
        for (int32_t x = 0; x < FRAME_WIDTH; x++)
            row[x] = p[x] & m[x];
    }
    for (size_t i = 0; i < CREDIT_LINES.size(); i++) {
        const PlateSpot& c = CREDIT_LINES[i];
        if (pos >= c.from_pos)
            fx_blit_rect(canvas, scene_picture(show, PICTURE_CREDITS), c.x, c.y, credit_line_width(i),
                         CREDIT_HEIGHT);
    }
}
