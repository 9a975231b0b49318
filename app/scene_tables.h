// The constant tables of the scenes and the overlay schedule over every
// scene: which picture each part reads, where the sprites and credit lines
// sit and from which music position they show, and the thirteen rows of the
// schedule. The content generator draws the sprite and credit pictures from
// the same tables, so a plate is always where the scene blits it.
//
// Entry points:
//   PICTURE_*           load-list indices of the pictures the scenes read
//   SpriteSpot, SMOKE_SPRITES, SPRITE_WIDTH, SPRITE_HEIGHT
//   CreditLine, CREDIT_LINES, CREDIT_HEIGHT, credit_line_width(index)
//   OverlaySlot, OVERLAY_SCHEDULE, OVERLAY_ROWS
//
// Positions are MusicPos (order entry * 100 + row); rectangles inclusive.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

constexpr int PICTURE_CIRCLES = 0;           // scene 3, base pattern (own row length)
constexpr int PICTURE_CIRCLES_MASK = 1;      // scene 3, AND mask (own row length)
constexpr int PICTURE_CRAWL_TARGET = 2;      // scene 7, what the crawl lines grow
constexpr int PICTURE_TOWER = 6;             // scene 1, scrolled bands
constexpr int PICTURE_EMBLEM = 7;            // scene 6 backdrop, the finale's dots
constexpr int PICTURE_SPRITES = 11;          // scene 2, four sprites
constexpr int PICTURE_CREDITS = 12;          // scene 3, fifteen credit lines
constexpr int PICTURE_FINALE_BACKDROP = 13;  // scene 7 from 1340
constexpr int PICTURE_NOISE = 14;            // the static: the smoke's target, scene 6's
                                             // wipe, work_a and work_b at start-up
constexpr int PICTURE_EMBLEM_COPY = 15;      // scene 5, the fade's target

// A rectangle of the sprite picture, drawn at the same place of the frame
// from `from_pos` on.
struct SpriteSpot {
    int32_t x, y;
    int32_t from_pos;
};

constexpr int32_t SPRITE_WIDTH = 74;
constexpr int32_t SPRITE_HEIGHT = 68;

// The first sprite reaches row 240; the blit keeps it to the frame.
constexpr std::array<SpriteSpot, 4> SMOKE_SPRITES = {{
    {224, 173, 304},
    {136, 12, 336},
    {128, 167, 404},
    {237, 73, 436},
}};

struct CreditLine {
    int32_t x, y;
    int32_t from_pos;
};

constexpr int32_t CREDIT_HEIGHT = 22;

// In the order they are drawn, which is also the order they appear except
// where two share a threshold.
constexpr std::array<CreditLine, 15> CREDIT_LINES = {{
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
    int32_t picture;      // load-list index; -1 ends the table
    int32_t x0, y0, x1, y1;
};

constexpr int OVERLAY_ROWS = 13;

constexpr std::array<OverlaySlot, OVERLAY_ROWS> OVERLAY_SCHEDULE = {{
    {100, 200, 148, 1500, 8, 0, 53, 319, 183},    // opening lines
    {200, 200, 248, 1500, 9, 0, 42, 319, 196},    // title
    {260, 500, 300, 1, 14, 0, 0, 319, 239},       // static
    {300, 200, 448, 1500, 5, 0, 83, 93, 239},     // vertical sign
    {452, 2000, 500, 500, 13, 0, 0, 319, 239},    // dark backdrop
    {500, 1500, 700, 1, 4, 215, 18, 319, 239},    // radio mast
    {652, 2000, 700, 500, 13, 0, 0, 319, 239},    // dark backdrop
    {1000, 1500, 1060, 500, 10, 0, 8, 133, 239},  // mesh read-out
    {1100, 500, 1132, 1500, 10, 0, 8, 133, 239},  // mesh read-out
    {1200, 200, 1340, 1, 3, 208, 70, 319, 239},   // no signal
    {1324, 800, 1340, 1, 14, 0, 0, 319, 239},     // static
    {1344, 4400, 1400, 1, 13, 0, 0, 319, 239},    // dark backdrop
    {0, 0, 0, 0, -1, 0, 0, 319, 239},             // end of table
}};
