#include "app/present.h"

#include "gfx/picture/picture.h"

#include <cstring>

void present_fix_colour(FrameView canvas, uint32_t red_mask)
{
    // Only the red mask is looked at. Red in the low byte is 0xAABBGGRR (the
    // browser's canvas): red and blue change places. Any other mask is taken
    // to be the byte-reversed order 0xBBGGRRAA.
    if (red_mask == PRESENT_NATIVE_RED_MASK)
        return;
    if (red_mask == PRESENT_SWAPPED_RED_MASK) {
        for (uint32_t& pixel : canvas)
            pixel = (pixel & 0xFF00FF00) | (pixel >> 16 & 0xFF) | (pixel & 0xFF) << 16;
        return;
    }
    byte_swap_words(reinterpret_cast<uint8_t*>(canvas.data()), FRAME_PIXELS);
}

void present_copy(std::span<const uint32_t, FRAME_PIXELS> canvas, uint8_t* surface, int32_t pitch)
{
    for (int y = 0; y < FRAME_HEIGHT; y++)
        std::memcpy(surface + size_t(y) * size_t(pitch), canvas.data() + y * FRAME_WIDTH,
                    FRAME_WIDTH * sizeof(uint32_t));
}

void present_double(std::span<const uint32_t, FRAME_PIXELS> canvas, uint8_t* surface, int32_t pitch)
{
    for (int y = 0; y < FRAME_HEIGHT; y++) {
        const uint32_t* src = canvas.data() + y * FRAME_WIDTH;
        auto* top = reinterpret_cast<uint32_t*>(surface + size_t(2 * y) * size_t(pitch));
        auto* bottom = reinterpret_cast<uint32_t*>(surface + size_t(2 * y + 1) * size_t(pitch));
        for (int x = 0; x < FRAME_WIDTH; x++) {
            const uint32_t pixel = src[x];
            top[2 * x] = top[2 * x + 1] = pixel;
            bottom[2 * x] = bottom[2 * x + 1] = pixel;
        }
    }
}
