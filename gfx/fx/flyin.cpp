#include "gfx/fx/flyin.h"

#include "core/wrap_int.h"
#include "gfx/fx/palettes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct FlyinState {
    FlyinTables tables;
    // The records as the effect uses them up: grey reduced to 0..255, x set
    // to FX_FLYIN_LANDED on landing. The compiled-in table is never written.
    std::array<FlyinRect, FLYIN_RECT_COUNT> records{};
    std::array<uint8_t, FRAME_PIXELS> work{};  // paint plus the rectangles in flight
};

FlyinState state;

// The path is a widening spiral: the offsets grow with the square of the depth.
// Each product's precision, single or double, is part of the values.
void build_spiral_and_depth()
{
    for (int f = 0; f < FX_SPIRAL_STEPS; f++) {
        const float theta = float(f * 0.02);
        float s = 0.0f, c = 1.0f;
        if (f != 0)
            sincosf(theta, &s, &c);
        const float ff = float(f);
        state.tables.spiral_x[size_t(f)] = int32_t(((c * ff) * 0.0005f) * ff);
        state.tables.spiral_y[size_t(f)] = int32_t(((ff * ff) * 0.00033333333f) * s);
    }
    // 65536 at f = 0, 131072 at 256, 33554432 (512x) at 511.
    for (int f = 0; f < FX_FLYIN_DEPTHS; f++)
        state.tables.depth_scale[size_t(f)] = 134217728 / (2048 - 4 * f);
}

using Bytes16 = uint8_t __attribute__((vector_size(16)));
using Lanes16 = int8_t __attribute__((vector_size(16)));
constexpr Lanes16 LANE_INDEX = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

// Every byte v moves a quarter of the way to the grey:
// v := (grey >> 2) + ((3 v) >> 2), at most 254. In 8-bit lanes
// (3 v) >> 2 = v - ceil(v / 4), and ceil(v / 4) is (v >> 2) plus one when v
// is not a multiple of 4; a true lane comparison is all ones, that is -1.
Bytes16 blend16(Bytes16 v, Bytes16 quarter)
{
    const Bytes16 inexact = reinterpret_cast<Bytes16>((v & 3) != 0);
    return quarter + v - (v >> 2) + inexact;
}

// Columns x0..x1 and rows y0..y1, inclusive and inside the frame, sixteen
// bytes at a time. The last 1..15 bytes of a row go in one more vector of
// 16 that reaches forward past them (or, at the end of the image, back over
// bytes already done) and leaves the bytes outside the span as they were.
void blend_rect(uint8_t* image, int x0, int y0, int x1, int y1, uint8_t grey)
{
    const Bytes16 quarter = uint8_t(grey >> 2) - Bytes16{};
    const int n = x1 - x0 + 1;
    for (int y = y0; y <= y1; y++) {
        const int at = y * FRAME_WIDTH + x0;
        int i = 0;
        for (; i + 16 <= n; i += 16) {
            Bytes16 v;
            std::memcpy(&v, image + at + i, sizeof v);
            v = blend16(v, quarter);
            std::memcpy(image + at + i, &v, sizeof v);
        }
        const int rest = n - i;
        if (rest == 0)
            continue;
        int window = at + i, lo = 0, hi = rest;
        if (window + 16 > FRAME_PIXELS) {
            window = at + n - 16;  // a whole row before it, so never below 0
            lo = 16 - rest;
            hi = 16;
        }
        const Bytes16 inside =
            reinterpret_cast<Bytes16>((LANE_INDEX >= int8_t(lo)) & (LANE_INDEX < int8_t(hi)));
        Bytes16 v;
        std::memcpy(&v, image + window, sizeof v);
        v = (blend16(v, quarter) & inside) | (v & ~inside);
        std::memcpy(image + window, &v, sizeof v);
    }
}

// Distance from the centre at depth f, scaled by depth_scale and put back
// about the centre. The product may pass 32 bits for f from 508 to 511; it
// wraps before the arithmetic shift, and such a rectangle is drawn displaced
// for those few frames.
int32_t project(int32_t edge, int32_t centre, int32_t offset, int32_t scale)
{
    return (wrap_mul(edge - centre + offset, scale) >> 16) + centre;
}

}  // namespace

void fx_flyin_load(FlyinRecords records)
{
    std::copy(records.begin(), records.end(), state.records.begin());
    for (FlyinRect& r : state.records)
        r.grey &= 0xFF;
}

void fx_flyin_reset() { fx_flyin_load(flyin_rects); }

FlyinRecords fx_flyin_records() { return state.records; }

const FlyinTables& fx_flyin_tables() { return state.tables; }

void fx_init_tables()
{
    build_spiral_and_depth();
    fx_flyin_reset();
    fx_init_palettes();
}

void fx_rect_flyin(FrameView dst, std::span<uint8_t, FRAME_PIXELS> paint, int32_t ms, int32_t phase)
{
    std::copy(paint.begin(), paint.end(), state.work.begin());
    const int32_t q = ms / 8;
    const FlyinTables& t = state.tables;
    for (int j = 0; j < FLYIN_RECT_COUNT; j++) {
        FlyinRect& r = state.records[size_t(j)];
        // 64-bit: any ms keeps the depth exact.
        const int64_t depth = int64_t(j / 2) + 400 - q;
        // The depth never falls as j rises, so nothing after this is drawn yet.
        if (depth >= FX_FLYIN_DEPTHS)
            break;
        if (r.x == FX_FLYIN_LANDED)
            continue;
        const uint8_t grey = uint8_t(r.grey);
        if (depth <= 0) {
            const int x0 = std::max(r.x, 0), x1 = std::min(r.x + r.w, FRAME_WIDTH - 1);
            const int y0 = std::max(r.y, 0), y1 = std::min(r.y + r.h, FRAME_HEIGHT - 1);
            if (x0 <= x1 && y0 <= y1) {
                blend_rect(paint.data(), x0, y0, x1, y1, grey);
                blend_rect(state.work.data(), x0, y0, x1, y1, grey);
            }
            r.x = FX_FLYIN_LANDED;
            continue;
        }
        const size_t f = size_t(depth);
        const int32_t scale = t.depth_scale[f];
        const int32_t x0 = std::max(project(r.x, 160, t.spiral_x[f], scale), 0);
        const int32_t x1 = std::min(project(r.x + r.w, 160, t.spiral_x[f], scale), FRAME_WIDTH - 1);
        const int32_t y0 = std::max(project(r.y, 120, t.spiral_y[f], scale), 0);
        const int32_t y1 = std::min(project(r.y + r.h, 120, t.spiral_y[f], scale), FRAME_HEIGHT - 1);
        if (x0 <= x1 && y0 <= y1)
            blend_rect(state.work.data(), x0, y0, x1, y1, grey);
    }
    fx_palette_map(dst, state.work, phase);
}
