#include "gfx/fx/palettes.h"

#include <algorithm>
#include <cmath>

namespace {

struct PaletteTables {
    std::array<TintPalette, FX_TINT_PALETTES> tint{};
    std::array<uint8_t, FX_ROW_TINTS> row_tint{};
};

PaletteTables tables;

// Palette p lifts red by 2p and green and blue by p/4, each clamped at 255:
// palette 0 is a plain grey ramp, palette 127 a strong red tint.
void build_tints()
{
    for (int p = 0; p < FX_TINT_PALETTES; p++)
        for (int k = 0; k < 256; k++) {
            const uint32_t red = uint32_t(std::min(2 * p + k, 255));
            const uint32_t other = uint32_t(std::min(p / 4 + k, 255));
            tables.tint[size_t(p)][size_t(k)] = red << 16 | other << 8 | other;
        }
}

// One hump of a sine over row positions 242..469, peaking at 45 near 354;
// zero everywhere else. The precision of each step (single or double) is
// part of the values, so the steps are spelt out.
void build_row_tint()
{
    for (int j = 0; j < FX_ROW_TINTS; j++) {
        const int s = std::max(j - 240, 0);
        const double v = std::cos(double(float(s) * 0.0090909088f));
        const float angle = float(((v + 0.5) * 0.003125) * double(s));
        uint8_t tint = 0;
        if (double(angle) < 3.14159 && angle >= 0.0f && j <= 599)
            tint = uint8_t(int32_t(std::sin(angle) * 128.0f));
        // The hump stays far below it, but a palette number must name a palette.
        tables.row_tint[size_t(j)] = std::min<uint8_t>(tint, FX_TINT_PALETTES - 1);
    }
}

}  // namespace

void fx_init_palettes()
{
    build_tints();
    build_row_tint();
}

void fx_palette_map(FrameView dst, std::span<const uint8_t, FRAME_PIXELS> src, int32_t phase)
{
    for (int y = 0; y < FRAME_HEIGHT; y++) {
        // Unsigned, so that any phase picks a defined row of the table.
        const uint32_t row = (uint32_t(phase) + uint32_t(y)) % FX_ROW_TINTS;
        const TintPalette& palette = tables.tint[tables.row_tint[row]];
        const uint8_t* in = src.data() + y * FRAME_WIDTH;
        uint32_t* out = dst.data() + y * FRAME_WIDTH;
        for (int x = 0; x < FRAME_WIDTH; x++)
            out[x] = palette[in[x]];
    }
}

const std::array<TintPalette, FX_TINT_PALETTES>& fx_tint_palettes() { return tables.tint; }

const std::array<uint8_t, FX_ROW_TINTS>& fx_row_tint() { return tables.row_tint; }
