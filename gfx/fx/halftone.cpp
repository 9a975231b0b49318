#include "gfx/fx/halftone.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int DISC = FX_HALFTONE_DISC;
constexpr int REACH = 6;       // the disc spans centre - 6 .. centre + 5
constexpr int MIN_LEVEL = 7;   // the smallest level that marks
constexpr int RIM = 41;        // the rim spans disc values T .. T + 41
constexpr int STAMP_ROW = 16;  // a stamp row padded to one 16-byte load

// The rim's added value at D - T = i: 256 x (42 - i) / 42, 256 down to 6.
constexpr std::array<int32_t, RIM + 1> RAMP = [] {
    std::array<int32_t, RIM + 1> r{};
    for (int i = 0; i <= RIM; i++)
        r[size_t(i)] = 256 * (RIM + 1 - i) / (RIM + 1);
    return r;
}();

// What a disc of level T adds to one byte at each place of the 12x12 disc:
// 255 in the core (a saturating add of 255 lands on 255 whatever the byte
// held), the ramp on the rim (its 256 capped likewise), 0 elsewhere. The
// stamp depends on the level only, so all 256 are built once; the strength
// only picks which one a cell uses.
using Stamp = std::array<std::array<uint8_t, STAMP_ROW>, DISC>;

struct HalftoneState {
    int32_t width = 0;
    int32_t height = 0;
    std::array<int32_t, DISC * DISC> disc{};
    std::array<Stamp, 256> stamps{};
};

HalftoneState state;

uint8_t stamp_value(int32_t d, int32_t t)
{
    if (d < 0 || t < MIN_LEVEL)
        return 0;
    if (d < t)
        return 255;
    if (d <= t + RIM)
        return uint8_t(std::min(RAMP[size_t(d - t)], 255));
    return 0;
}

// The four bytes of the cell's average, each through the level table.
struct CellLevels {
    std::array<uint8_t, 4> t;  // blue, green, red, alpha
    bool marks() const { return *std::max_element(t.begin(), t.end()) >= MIN_LEVEL; }
};

CellLevels cell_levels(std::span<const uint32_t, FRAME_PIXELS> src, const std::array<uint8_t, 256>& level,
                       int32_t cy, int32_t cx)
{
    const int32_t w = state.width;
    uint32_t samples[4];
    int n = 0;
    const int32_t top = cy - REACH, left = cx - REACH;
    if (top >= 0 && left >= 0)
        samples[n++] = src[size_t(top * w + left)];
    if (top >= 0)
        samples[n++] = src[size_t(top * w + cx)];
    if (left >= 0)
        samples[n++] = src[size_t(cy * w + left)];
    samples[n++] = src[size_t(cy * w + cx)];
    CellLevels c;
    for (int byte = 0; byte < 4; byte++) {
        uint32_t sum = 0;
        for (int i = 0; i < n; i++)
            sum += (samples[i] >> (8 * byte)) & 255;
        c.t[size_t(byte)] = level[sum / uint32_t(n)];
    }
    return c;
}

// The disc clipped to the area: rows above it and columns left of it are
// skipped, the first row below it ends the cell, the first column right of
// it ends the row.
void stamp_clipped(FrameView dst, const CellLevels& c, int32_t cy, int32_t cx)
{
    for (int a = 0; a < DISC; a++) {
        const int32_t y = cy - REACH + a;
        if (y < 0)
            continue;
        if (y >= state.height)
            return;
        for (int b = 0; b < DISC; b++) {
            const int32_t x = cx - REACH + b;
            if (x < 0)
                continue;
            if (x >= state.width)
                break;
            uint32_t& pixel = dst[size_t(y * state.width + x)];
            uint32_t out = 0;
            for (int byte = 0; byte < 4; byte++) {
                const uint32_t v = (pixel >> (8 * byte)) & 255;
                const uint32_t add = state.stamps[c.t[size_t(byte)]][size_t(a)][size_t(b)];
                out |= std::min(v + add, 255u) << (8 * byte);
            }
            pixel = out;
        }
    }
}

// A disc wholly inside the area: each row of 12 pixels is three 4-pixel
// saturating adds, the four stamp rows interleaved into pixels.
void stamp_inside(FrameView dst, const CellLevels& c, int32_t cy, int32_t cx)
{
    const Stamp& sb = state.stamps[c.t[0]];
    const Stamp& sg = state.stamps[c.t[1]];
    const Stamp& sr = state.stamps[c.t[2]];
    const Stamp& sa = state.stamps[c.t[3]];
    uint32_t* row = dst.data() + (cy - REACH) * state.width + (cx - REACH);
#if defined(__SSE2__)
    for (int a = 0; a < DISC; a++, row += state.width) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sb[size_t(a)].data()));
        const __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sg[size_t(a)].data()));
        const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sr[size_t(a)].data()));
        const __m128i al = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sa[size_t(a)].data()));
        const __m128i bg_lo = _mm_unpacklo_epi8(b, g), ra_lo = _mm_unpacklo_epi8(r, al);
        const __m128i bg_hi = _mm_unpackhi_epi8(b, g), ra_hi = _mm_unpackhi_epi8(r, al);
        const __m128i add[3] = {_mm_unpacklo_epi16(bg_lo, ra_lo), _mm_unpackhi_epi16(bg_lo, ra_lo),
                                _mm_unpacklo_epi16(bg_hi, ra_hi)};
        for (int k = 0; k < 3; k++) {
            __m128i* p = reinterpret_cast<__m128i*>(row + 4 * k);
            _mm_storeu_si128(p, _mm_adds_epu8(_mm_loadu_si128(p), add[k]));
        }
    }
#else
    for (size_t a = 0; a < DISC; a++, row += state.width)
        for (size_t b = 0; b < DISC; b++) {
            const uint32_t pixel = row[b];
            const uint32_t add[4] = {sb[a][b], sg[a][b], sr[a][b], sa[a][b]};
            uint32_t out = 0;
            for (int byte = 0; byte < 4; byte++)
                out |= std::min(((pixel >> (8 * byte)) & 255) + add[byte], 255u) << (8 * byte);
            row[b] = out;
        }
#endif
}

}  // namespace

void fx_halftone_init(int32_t width, int32_t height)
{
    // Source and destination are whole frames, so the area never exceeds one.
    state.width = std::clamp(width, 0, FRAME_WIDTH);
    state.height = std::clamp(height, 0, FRAME_HEIGHT);
    for (int a = 0; a < DISC; a++)
        for (int b = 0; b < DISC; b++) {
            const double d = std::sqrt(double((a - REACH) * (a - REACH) + (b - REACH) * (b - REACH)));
            state.disc[size_t(a * DISC + b)] = d > 6.5 ? -1 : int32_t((d + 0.25) * 42.666666666666664);
        }
    for (int t = 0; t < 256; t++)
        for (int a = 0; a < DISC; a++)
            for (int b = 0; b < DISC; b++)
                state.stamps[size_t(t)][size_t(a)][size_t(b)] =
                    stamp_value(state.disc[size_t(a * DISC + b)], t);
}

void fx_halftone(FrameView dst, std::span<const uint32_t, FRAME_PIXELS> src, int32_t strength)
{
    // A negative strength marks nothing; above 65536 every nonzero byte is
    // already at level 255, and the clamp keeps v x strength inside 32 bits.
    strength = std::clamp(strength, 0, 65536);
    std::array<uint8_t, 256> level;
    for (int v = 0; v < 256; v++)
        level[size_t(v)] = uint8_t(std::min((v * strength) >> 8, 255));

    for (int32_t cy = 0, parity = 0; cy < state.height; cy += FX_HALFTONE_PITCH, parity ^= 1) {
        const bool rows_inside = cy - REACH >= 0 && cy + DISC - REACH <= state.height;
        for (int32_t cx = FX_HALFTONE_PITCH * parity / 2; cx < state.width; cx += FX_HALFTONE_PITCH) {
            const CellLevels c = cell_levels(src, level, cy, cx);
            if (!c.marks())
                continue;
            if (rows_inside && cx - REACH >= 0 && cx + DISC - REACH <= state.width)
                stamp_inside(dst, c, cy, cx);
            else
                stamp_clipped(dst, c, cy, cx);
        }
    }
}

const std::array<int32_t, FX_HALFTONE_DISC * FX_HALFTONE_DISC>& fx_halftone_disc() { return state.disc; }
