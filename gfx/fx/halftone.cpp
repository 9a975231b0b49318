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
    bool marks() const { return std::max({t[0], t[1], t[2], t[3]}) >= MIN_LEVEL; }
};

// The samples (cy - 6, cx - 6), (cy - 6, cx), (cy, cx - 6) and (cy, cx),
// leaving out those above or left of the area; n is 1, 2 or 4, so the
// average of each byte is its sum shifted. Bytes are summed two at a time
// in 16-bit lanes (four bytes sum to at most 1020), and the shift's spill
// from the lane above falls outside the 8 bits kept.
CellLevels cell_levels(std::span<const uint32_t, FRAME_PIXELS> src, const std::array<uint8_t, 256>& level,
                       int32_t cy, int32_t cx)
{
    const int32_t w = state.width;
    const int32_t top = cy - REACH, left = cx - REACH;
    const uint32_t here = src[size_t(cy * w + cx)];
    uint32_t even = here & 0x00FF00FF, odd = (here >> 8) & 0x00FF00FF;
    int shift = 0;
    auto take = [&](uint32_t p) {
        even += p & 0x00FF00FF;
        odd += (p >> 8) & 0x00FF00FF;
    };
    if (top >= 0) {
        take(src[size_t(top * w + cx)]);
        shift++;
    }
    if (left >= 0) {
        take(src[size_t(cy * w + left)]);
        shift++;
    }
    if (top >= 0 && left >= 0)
        take(src[size_t(top * w + left)]);
    even >>= shift;
    odd >>= shift;
    return {{level[even & 255], level[odd & 255], level[(even >> 16) & 255], level[(odd >> 16) & 255]}};
}

// What the disc adds to the 12 pixels of its row a, one byte of each from
// that byte's stamp: rows of the four stamps interleaved into pixels.
#if defined(__SSE2__)
struct RowAdd {
    __m128i px[3];  // pixels 0..3, 4..7, 8..11
};

inline RowAdd row_add(const CellLevels& c, size_t a)
{
    auto load = [&](int byte) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(state.stamps[c.t[size_t(byte)]][a].data()));
    };
    const __m128i b = load(0), g = load(1), r = load(2), al = load(3);
    const __m128i bg_lo = _mm_unpacklo_epi8(b, g), ra_lo = _mm_unpacklo_epi8(r, al);
    const __m128i bg_hi = _mm_unpackhi_epi8(b, g), ra_hi = _mm_unpackhi_epi8(r, al);
    return {{_mm_unpacklo_epi16(bg_lo, ra_lo), _mm_unpackhi_epi16(bg_lo, ra_lo),
             _mm_unpacklo_epi16(bg_hi, ra_hi)}};
}
#endif

// min(byte + add, 255) for each of the four bytes.
inline uint32_t add_saturating(uint32_t pixel, uint32_t add)
{
#if defined(__SSE2__)
    return uint32_t(
        _mm_cvtsi128_si32(_mm_adds_epu8(_mm_cvtsi32_si128(int32_t(pixel)), _mm_cvtsi32_si128(int32_t(add)))));
#else
    uint32_t out = 0;
    for (int byte = 0; byte < 32; byte += 8)
        out |= std::min(((pixel >> byte) & 255) + ((add >> byte) & 255), 255u) << byte;
    return out;
#endif
}

// The disc over rows cy - 6 .. cy + 5 and columns cx - 6 .. cx + 5: rows
// above the area are skipped, the first row below it ends the cell; columns
// left of it are skipped, the first column right of it ends the row. When
// no column is cut, each disc row takes three 4-pixel saturating adds.
void stamp(FrameView dst, const CellLevels& c, int32_t cy, int32_t cx)
{
    const int32_t w = state.width;
    const int a_first = std::max(0, REACH - cy), a_end = std::min(DISC, state.height - (cy - REACH));
    const int b_first = std::max(0, REACH - cx), b_end = std::min(DISC, w - (cx - REACH));
#if defined(__SSE2__)
    if (b_first == 0 && b_end == DISC) {
        for (int a = a_first; a < a_end; a++) {
            const RowAdd add = row_add(c, size_t(a));
            __m128i* p = reinterpret_cast<__m128i*>(dst.data() + (cy - REACH + a) * w + (cx - REACH));
            _mm_storeu_si128(p, _mm_adds_epu8(_mm_loadu_si128(p), add.px[0]));
            _mm_storeu_si128(p + 1, _mm_adds_epu8(_mm_loadu_si128(p + 1), add.px[1]));
            _mm_storeu_si128(p + 2, _mm_adds_epu8(_mm_loadu_si128(p + 2), add.px[2]));
        }
        return;
    }
#endif
    for (int a = a_first; a < a_end; a++) {
        uint32_t words[DISC];
#if defined(__SSE2__)
        const RowAdd add = row_add(c, size_t(a));
        for (int k = 0; k < 3; k++)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(words + 4 * k), add.px[k]);
#else
        for (size_t b = 0; b < DISC; b++) {
            words[b] = 0;
            for (size_t byte = 0; byte < 4; byte++)
                words[b] |= uint32_t(state.stamps[c.t[byte]][size_t(a)][b]) << (8 * byte);
        }
#endif
        uint32_t* line = dst.data() + (cy - REACH + a) * w;
        for (int b = b_first; b < b_end; b++)
            line[cx - REACH + b] = add_saturating(line[cx - REACH + b], words[b]);
    }
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
        for (int32_t cx = FX_HALFTONE_PITCH * parity / 2; cx < state.width; cx += FX_HALFTONE_PITCH) {
            const CellLevels c = cell_levels(src, level, cy, cx);
            if (!c.marks())
                continue;
            stamp(dst, c, cy, cx);
        }
    }
}

const std::array<int32_t, FX_HALFTONE_DISC * FX_HALFTONE_DISC>& fx_halftone_disc() { return state.disc; }
