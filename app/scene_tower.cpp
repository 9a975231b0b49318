// Scene 1, the tower scroll: the tower picture in five vertical bands moving
// down at three speeds, one picture row per 30 ms at the sides, per 60 ms in
// the two middle bands and per 120 ms in the centre.
#include "app/scene_tables.h"
#include "app/scenes_list.h"

#include <algorithm>

namespace {

// Picture rows wrap from 239 to 0; the floor keeps them in range even once
// the offset below is spent (after 8 hours of clock).
int32_t tower_row(int32_t row) { return (row % FRAME_HEIGHT + FRAME_HEIGHT) % FRAME_HEIGHT; }

void copy_columns(FrameView canvas, const uint32_t* picture_row, int32_t y, int32_t x0, int32_t x1)
{
    std::copy(picture_row + x0, picture_row + x1, canvas.begin() + (y * FRAME_WIDTH + x0));
}

}  // namespace

void scene_tower(Show& show, int32_t now, int32_t, FrameView canvas)
{
    const uint32_t* picture = scene_picture(show, PICTURE_TOWER).data();
    // The offset keeps the row numbers positive as `now` grows.
    const int32_t base = 1000000 - now / 30;
    for (int32_t y = 0; y < FRAME_HEIGHT; y++) {
        const uint32_t* outer = picture + tower_row(base + y) * FRAME_WIDTH;
        const uint32_t* middle = picture + tower_row(base / 2 + y) * FRAME_WIDTH;
        const uint32_t* centre = picture + tower_row(base / 4 + y) * FRAME_WIDTH;
        copy_columns(canvas, outer, y, 0, 100);
        copy_columns(canvas, middle, y, 100, 150);
        copy_columns(canvas, centre, y, 150, 170);
        copy_columns(canvas, middle, y, 170, 220);
        copy_columns(canvas, outer, y, 220, 320);
    }
}
