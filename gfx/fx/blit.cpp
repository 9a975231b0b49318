#include "gfx/fx/blit.h"

#include <algorithm>

void fx_blit_rect(FrameView dst, std::span<const uint32_t, FRAME_PIXELS> src, int32_t x, int32_t y, int32_t w,
                  int32_t h)
{
    // In 64 bits so that a rectangle reaching past the 32-bit range still
    // clips instead of wrapping.
    const int64_t x0 = std::max<int64_t>(x, 0), x1 = std::min<int64_t>(int64_t(x) + w, FRAME_WIDTH);
    const int64_t y0 = std::max<int64_t>(y, 0), y1 = std::min<int64_t>(int64_t(y) + h, FRAME_HEIGHT);
    for (int64_t row = y0; row < y1; row++) {
        const size_t base = size_t(row * FRAME_WIDTH);
        for (int64_t col = x0; col < x1; col++) {
            const size_t i = base + size_t(col);
            dst[i] = fx_alpha_over(src[i], dst[i]);
        }
    }
}
