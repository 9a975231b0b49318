// The rectangle fly-in: 3000 grey rectangles fly in from in front of the
// viewer along a spiral, shrink in perspective and land, each blended into a
// persistent 8-bit paint image; every frame shows that image, with the
// rectangles in flight over it, through the tinted palettes.
//
// Entry points:
//   fx_init_tables()                 build the spiral, depth and palette tables
//                                    and load the compiled-in rectangles; run
//                                    once at start-up, again to start over
//   fx_rect_flyin(dst, paint, ms, phase)
//                                    one frame, `ms` since the scene began,
//                                    `phase` the palette phase in rows (>= 0)
//   fx_flyin_reset()                 start over from the compiled-in records
//                                    (a new run in the same process)
//   fx_flyin_load(records)           start over from these records instead
//   fx_flyin_records()               the working records; x is
//                                    FX_FLYIN_LANDED once a record has landed
//   fx_flyin_tables()                the spiral and depth tables, read-only
//
// A record's pair partner (2k, 2k+1) flies at the same depth
// f = k + 400 - ms / 8: drawn from f = 511, landed at f <= 0.
#pragma once

#include "core/frame_buffer.h"
#include "gfx/fx/flyin_rect.h"

#include <array>
#include <cstdint>
#include <span>

constexpr int32_t FX_FLYIN_LANDED = -10000;
constexpr int FX_SPIRAL_STEPS = 2048;  // the fly-in reads depths 1..511
constexpr int FX_FLYIN_DEPTHS = 512;

struct FlyinTables {
    std::array<int32_t, FX_SPIRAL_STEPS> spiral_x{};  // path offset at depth f, pixels
    std::array<int32_t, FX_SPIRAL_STEPS> spiral_y{};
    std::array<int32_t, FX_FLYIN_DEPTHS> depth_scale{};  // 512 / (512 - f), 16.16
};

using FlyinRecords = std::span<const FlyinRect, FLYIN_RECT_COUNT>;

void fx_init_tables();
void fx_rect_flyin(FrameView dst, std::span<uint8_t, FRAME_PIXELS> paint, int32_t ms, int32_t phase);
void fx_flyin_reset();
void fx_flyin_load(FlyinRecords records);
FlyinRecords fx_flyin_records();
const FlyinTables& fx_flyin_tables();
