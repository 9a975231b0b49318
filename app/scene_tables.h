// The constant tables of the scenes and the overlay schedule over every
// scene: where the sprites and credit lines sit and from which music
// position they show, and the thirteen rows of the schedule, each naming
// its picture from the load list (gfx/picture/picture_list.h). The content
// generator draws the sprite, credit and overlay pictures from the same
// tables, so a plate is always where the scene blits it.
//
// Entry points:
//   PlateSpot           a rectangle of a plate picture, shown from a position
//   SMOKE_SPRITES, SPRITE_WIDTH, SPRITE_HEIGHT
//   CREDIT_LINES, CREDIT_HEIGHT, credit_line_width(index)
//   OverlaySlot, OVERLAY_SCHEDULE, OVERLAY_ROWS
//
// Positions are MusicPos (core/music_pos.h); rectangles inclusive.
#pragma once

#include "app/show_cues.h"
#include "gfx/picture/picture_list.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The top-left corner of a rectangle of a plate picture (the sprites, the
// credits), drawn at the same place of the frame from `from_pos` on.
struct PlateSpot {
    int32_t x, y;
    int32_t from_pos;
};

constexpr int32_t SPRITE_WIDTH = 74;
constexpr int32_t SPRITE_HEIGHT = 68;

// The first sprite reaches row 240; the blit keeps it to the frame.
constexpr std::array<PlateSpot, 4> SMOKE_SPRITES = {{
    {224, 173, 304},
    {136, 12, 336},
    {128, 167, 404},
    {237, 73, 436},
}};

constexpr int32_t CREDIT_HEIGHT = 22;

// In the order they are drawn, which is also the order they appear except
// where two share a threshold.
constexpr std::array<PlateSpot, 15> CREDIT_LINES = {{
    {123, 61, 600},
    {15, 17, 602},
    {15, 127, 603},
    {15, 61, 604},
    {123, 17, 606},
    {15, 149, 609},
    {123, 127, 610},
    {123, 39, 616},
    {123, 149, 617},
    {123, 83, 620},
    {15, 83, 630},
    {15, 39, 631},
    {123, 105, 632},
    {15, 105, 633},
    {15, 193, 635},
}};

// Every line is 105 wide but the last, which spans 160.
constexpr int32_t credit_line_width(size_t index) { return index + 1 == CREDIT_LINES.size() ? 160 : 105; }

// One row of the overlay schedule as built in; the run's copy adds the two
// elapsed counters and the picture itself (OverlayRow, gfx/fx/overlays.h).
struct OverlaySlot {
    int32_t start_pos;
    int32_t fade_in_ms;
    int32_t end_pos;
    int32_t fade_out_ms;  // 1: gone on the first frame at or after end_pos
    int32_t picture;      // PictureId; OVERLAY_END ends the table
    int32_t x0, y0, x1, y1;
};

constexpr int OVERLAY_ROWS = 13;
constexpr int32_t OVERLAY_END = -1;

constexpr std::array<OverlaySlot, OVERLAY_ROWS> OVERLAY_SCHEDULE = {{
    {100, 200, 148, 1500, PICTURE_OPENING_LINES, 0, 53, 319, 183},
    {200, 200, 248, 1500, PICTURE_TITLE, 0, 42, 319, 196},
    {260, 500, 300, 1, PICTURE_NOISE, 0, 0, 319, 239},
    {300, 200, 448, 1500, PICTURE_VERTICAL_SIGN, 0, 83, 93, 239},
    {452, 2000, 500, 500, PICTURE_DARK_BACKDROP, 0, 0, 319, 239},
    {500, 1500, 700, 1, PICTURE_RADIO_MAST, 215, 18, 319, 239},
    {652, 2000, 700, 500, PICTURE_DARK_BACKDROP, 0, 0, 319, 239},
    {1000, 1500, 1060, 500, PICTURE_MESH_READOUT, 0, 8, 133, 239},
    {1100, 500, 1132, 1500, PICTURE_MESH_READOUT, 0, 8, 133, 239},
    {1200, 200, 1340, 1, PICTURE_NO_SIGNAL, 208, 70, 319, 239},
    {CUE_NOISE_FLASH, 800, CUE_FINALE, 1, PICTURE_NOISE, 0, 0, 319, 239},
    {1344, 4400, 1400, 1, PICTURE_DARK_BACKDROP, 0, 0, 319, 239},
    {0, 0, 0, 0, OVERLAY_END, 0, 0, 319, 239},
}};
