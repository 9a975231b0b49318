#include "gfx/fx/overlays.h"

#include "core/clock.h"
#include "core/rand.h"
#include "core/wrap_int.h"
#include "gfx/fx/blit.h"

#include <algorithm>
#include <cstdlib>

namespace {

struct OverlayState {
    uint32_t last_ticks = 0;  // clock_ms() at the end of the previous call
};

OverlayState state;

// Whether the next line of a row shows this frame: one core_rand() for each fade
// still running, the fade-in's first (and none for the fade-out when the
// fade-in already hid the line), so a run draws the same random sequence
// whatever the frame holds.
bool line_shows(const OverlayRow& row)
{
    const int32_t rem_in = wrap_sub(row.fade_in_ms, row.fade_in_elapsed);
    // The divisor is positive whenever rem_in is, unless the elapsed count is
    // negative (a clock that went backwards); then the fade counts as over.
    if (rem_in > 0 && row.fade_in_ms > 0 && rem_in > core_rand() % row.fade_in_ms)
        return false;
    const int32_t rem_out = wrap_sub(row.fade_out_ms, row.fade_out_elapsed);
    if (rem_out > 0 && row.fade_out_ms > 0 && rem_out < core_rand() % row.fade_out_ms)
        return false;
    return true;
}

void draw_line(FrameView dst, const uint32_t* src, int32_t y, int32_t x0, int32_t x1)
{
    if (x0 > x1)
        return;
    const size_t first = size_t(y * FRAME_WIDTH + x0);
    fx_alpha_row(&dst[first], src + first, x1 - x0 + 1);
}

}  // namespace

void fx_draw_overlays(FrameView dst, std::span<OverlayRow> table, int32_t pos)
{
    const uint32_t now = clock_ms();
    const int32_t delta = int32_t(now - state.last_ticks);
    const uint32_t upos = uint32_t(pos);
    for (OverlayRow& row : table) {
        if (!row.picture)
            break;
        if (upos < uint32_t(row.start_pos))
            continue;
        // The counters grow for the whole run: they wrap rather than overflow.
        if (upos >= uint32_t(row.end_pos))
            row.fade_out_elapsed = wrap_add(row.fade_out_elapsed, delta);
        row.fade_in_elapsed = wrap_add(row.fade_in_elapsed, delta);
        if (row.fade_out_elapsed >= row.fade_out_ms)
            continue;
        // Rectangles are kept to the frame; the lines outside are neither
        // drawn nor decided.
        const int32_t y0 = std::max(row.y0, 0), y1 = std::min(row.y1, FRAME_HEIGHT - 1);
        const int32_t x0 = std::max(row.x0, 0), x1 = std::min(row.x1, FRAME_WIDTH - 1);
        const uint32_t* src = row.picture->argb();
        for (int32_t y = y0; y <= y1; y++)
            if (line_shows(row))
                draw_line(dst, src, y, x0, x1);
    }
    state.last_ticks = clock_ms();
}

void fx_overlays_reset() { state = OverlayState{}; }
