// The show's scenes on pictures made here, whose pixels say where they were
// read from, with the player's clock open silently so that rows can be
// stamped as heard, as the music would.
//
// Entry points:
//   Scenes                     the fixture: a fresh Show, its canvas, and
//                              draw(now, pos), at(x, y), heard(pos, t)
//   Scenes::pixel(id, x, y)    the made pictures
#pragma once

#include "app/scene_tables.h"
#include "app/scenes.h"
#include "app/show.h"
#include "core/clock.h"
#include "core/rand.h"
#include "core/sound_rates.h"
#include "sound/player/player_clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

class Scenes : public testing::Test {
protected:
    static constexpr uint32_t BACKDROP = 0xFF203040;     // the finale's backdrop
    static constexpr uint32_t FADE_TARGET = 0x1212120E;  // up in three bytes, down in blue

    static uint32_t noise(int x, int y) { return 0xFF000000u | uint32_t(y) << 12 | uint32_t(x); }
    static uint32_t sprite_colour(size_t s) { return 0xFF00FF00 | uint32_t(s); }
    static uint32_t credit_colour(size_t c) { return 0xFF0000F0 | uint32_t(c) << 16; }

    static uint32_t pixel(int picture, int x, int y)
    {
        switch (picture) {
        case PICTURE_TOWER:
            return uint32_t(y * 1000 + x);
        case PICTURE_CIRCLES:  // low half: the window's corner into the pattern
            return 0xFFFF0000 | uint32_t(y & 255) << 8 | uint32_t(x & 255);
        case PICTURE_CIRCLES_MASK:  // high half: into the mask
            return 0x0000FFFF | uint32_t(y & 255) << 24 | uint32_t(x & 255) << 16;
        case PICTURE_SPRITES:
            for (size_t s = 0; s < SMOKE_SPRITES.size(); s++) {
                const PlateSpot& r = SMOKE_SPRITES[s];
                if (x >= r.x && x < r.x + SPRITE_WIDTH && y >= r.y && y < r.y + SPRITE_HEIGHT)
                    return sprite_colour(s);
            }
            return 0;
        case PICTURE_CREDITS:
            for (size_t c = 0; c < CREDIT_LINES.size(); c++) {
                const PlateSpot& r = CREDIT_LINES[c];
                if (x >= r.x && x < r.x + credit_line_width(c) && y >= r.y && y < r.y + CREDIT_HEIGHT)
                    return credit_colour(c);
            }
            return 0;
        case PICTURE_NOISE:
            return noise(x, y);
        case PICTURE_EMBLEM:  // black: the mesh's backdrop, and the finale's dots leave no mark
            return 0;
        case PICTURE_DARK_BACKDROP:
            return BACKDROP;
        case PICTURE_EMBLEM_COPY:
            return FADE_TARGET;
        default:
            return 0x00404040;  // transparent
        }
    }

    void SetUp() override
    {
        core_srand(1);
        now_ = 0;
        clock_set_source([] { return now_; });
        build_effect_tables();
        pt_clock_reset();
        pt_open_silent(SAMPLE_RATE, DEVICE_BUFFER_FRAMES);
        show = std::make_unique<Show>();
        for (int i = 0; i < PICTURE_COUNT; i++) {
            // The circles' windows move over pictures larger than the frame.
            const int w = i <= 1 ? 360 : FRAME_WIDTH, h = i <= 1 ? 280 : FRAME_HEIGHT;
            storage[i].assign(size_t(w * h), 0);
            Picture& p = show->pictures[size_t(i)];
            p.kind = PICTURE_RGBA;
            p.bit_depth = 8;
            p.width = w;
            p.height = h;
            p.pixels = reinterpret_cast<uint8_t*>(storage[i].data());
            for (int y = 0; y < h; y++)
                for (int x = 0; x < w; x++)
                    storage[i][size_t(y * w + x)] = pixel(i, x, y);
        }
        show_prepare_work(*show);
        canvas = std::make_unique<FrameBuffer>();
        canvas->fill(0x12345678);
    }
    void TearDown() override { clock_set_source(nullptr); }

    // Stamp every row up to `pos` as heard at t.
    static void heard(MusicPos pos, int32_t t) { pt_stamp_rows(music_pos_order(pos), music_pos_row(pos), t); }

    uint32_t at(int x, int y) const { return (*canvas)[size_t(y * FRAME_WIDTH + x)]; }
    void draw(int32_t now, int32_t pos) { scenes_draw(*show, now, pos, *canvas); }
    bool canvas_is(const FrameBuffer& image) const { return *canvas == image; }

    static inline uint32_t now_ = 0;  // what the clock reads
    std::unique_ptr<Show> show;
    std::vector<uint32_t> storage[PICTURE_COUNT];
    std::unique_ptr<FrameBuffer> canvas;
};
