#include "gfx/fx/plot_dot.h"

#include "gfx/fx/halve.h"

void fx_plot_dot(FrameView buf, int32_t i, uint32_t colour)
{
    if (i < 0 || i >= FRAME_PIXELS)
        return;
    const int32_t x = i % FRAME_WIDTH, y = i / FRAME_WIDTH;
    const uint32_t half = fx_halve(colour);
    buf[size_t(i)] = colour;
    if (x > 0)
        buf[size_t(i - 1)] = fx_halve(buf[size_t(i - 1)]) + half;
    if (x < FRAME_WIDTH - 1)
        buf[size_t(i + 1)] = fx_halve(buf[size_t(i + 1)]) + half;
    if (y > 0)
        buf[size_t(i - FRAME_WIDTH)] = fx_halve(buf[size_t(i - FRAME_WIDTH)]) + half;
    if (y < FRAME_HEIGHT - 1)
        buf[size_t(i + FRAME_WIDTH)] = fx_halve(buf[size_t(i + FRAME_WIDTH)]) + half;
}
