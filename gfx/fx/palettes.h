// The tinted palettes of the fly-in painting: 128 grey ramps tinted towards
// red, and the palette each screen row takes, so that a red band sweeps up
// the screen as the phase grows.
//
// Entry points:
//   fx_init_palettes()                  build both tables (fx_init_tables
//                                       calls it; run once at start-up)
//   fx_palette_map(dst, src, phase)     8-bit image -> colour frame; row y
//                                       takes palette row_tint[(phase + y) mod 2048]
//   fx_tint_palettes(), fx_row_tint()   the tables, read-only
#pragma once

#include "core/frame_buffer.h"

#include <array>
#include <cstdint>
#include <span>

constexpr int FX_TINT_PALETTES = 128;
constexpr int FX_ROW_TINTS = 2048;

using TintPalette = std::array<uint32_t, 256>;  // 0x00RRGGBB, alpha 0

void fx_init_palettes();
void fx_palette_map(FrameView dst, std::span<const uint8_t, FRAME_PIXELS> src, int32_t phase);
const std::array<TintPalette, FX_TINT_PALETTES>& fx_tint_palettes();
const std::array<uint8_t, FX_ROW_TINTS>& fx_row_tint();
