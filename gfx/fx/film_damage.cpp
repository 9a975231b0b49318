#include "gfx/fx/film_damage.h"

#include "gfx/fx/halve.h"

#include <array>
#include <cmath>

namespace {

// 4x4 blotch masks, rows top to bottom, bit 3 = leftmost column.
constexpr std::array<uint8_t, 4> MASK_A = {0b0100, 0b0110, 0b1111, 0b0110};
constexpr std::array<uint8_t, 4> MASK_B = {0b0000, 0b0010, 0b0110, 0b1000};

// 236 rows of 320: a 4x4 blotch starting anywhere below this fits.
constexpr uint32_t BLOTCH_SPAN = 75520;

void scratch(FrameView frame, int32_t t)
{
    // n is 1 in one second out of four and at most 0 otherwise, so the loop
    // runs once at most; it is kept general in 64 bits all the same.
    const int32_t n = (t / 50) % 4 - 2;
    for (int32_t i = 0; i < n; i++) {
        if (((int64_t(t) + i) & 3) == 0)
            continue;
        const int64_t b = 320 + int64_t(i) * (int64_t(t) + 160);
        // The sine and its product with 320 in single precision, the sums in
        // double: the column must come out as it always has.
        const float wave = 320.0f * std::sin(float(2 * i) + 0.05f * float(t));
        const int64_t xr = int64_t(double(b) + 0.1 * i + double(wave));
        const int64_t c = (xr % FRAME_WIDTH + FRAME_WIDTH) % FRAME_WIDTH;
        for (int32_t y = 0; y < FRAME_HEIGHT; y++)
            frame[size_t(y * FRAME_WIDTH + c)] = fx_halve(frame[size_t(y * FRAME_WIDTH + c)]);
    }
}

// t * t and 13 * t * t wrap in 32 bits and are taken as unsigned: exact while
// they fit (t up to 46340 and 12852, about 15 and 4 minutes of ticks), and
// never negative after, so every write stays in the frame for any t.
void specks(FrameView frame, int32_t t)
{
    const uint32_t ut = uint32_t(t);
    const int32_t m = (t / 20) % 10 + 9;
    for (int32_t j = 0; j <= m; j++) {
        const uint32_t uj = uint32_t(j);
        const uint32_t x = (ut * ut + uj * (uj + 19)) % FRAME_WIDTH;
        const uint32_t y = (x + 17 * ut + 10 * uj) % FRAME_HEIGHT;
        frame[y * FRAME_WIDTH + x] = fx_halve(frame[y * FRAME_WIDTH + x]);
    }
}

void blotch(FrameView frame, int32_t t)
{
    const std::array<uint8_t, 4>& mask = t % 3 == 0 ? MASK_A : MASK_B;
    const uint32_t ut = uint32_t(t);
    const double v = double(13 * ut * ut + 1000) + 500.0 * std::sin(double(t));
    const int64_t vi = int64_t(v);
    const uint32_t u = uint32_t((vi % BLOTCH_SPAN + BLOTCH_SPAN) % BLOTCH_SPAN);
    for (uint32_t r = 0; r < 4; r++)
        for (uint32_t k = 0; k < 4; k++)
            if (mask[r] & (8 >> k))
                frame[u + FRAME_WIDTH * r + k] = 0;
}

}  // namespace

void fx_film_damage(FrameView frame, int32_t t)
{
    scratch(frame, t);
    specks(frame, t);
    blotch(frame, t);
}
