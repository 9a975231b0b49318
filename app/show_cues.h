// The show's timeline, written once: the position at which each of the
// seven scenes starts, where the show ends, and the positions inside the
// scenes at which the pictures move with the music. The scene table, the
// scenes, the music generator (whose song must strike a note on every cue,
// or the build stops) and the benchmarks read them here. The sprites' and
// credit lines' positions stand with their places in scene_tables.h.
//
// Entry points:
//   SCENE_COUNT, SCENE_STARTS   scene n (1..7) owns SCENE_STARTS[n - 1] up
//                               to the next scene's start; the last, on
//   SHOW_LAST_POSITION          the show ends after the first frame past it
//   SMOKE_SEED_ROWS             the smoke is sent off on the rows of a
//                               pattern that are multiples of it (0, 32)
//   CUE_TINT                    the fly-in's red band starts to sweep
//   CUE_MESH_REST, CUE_MESH_BOUNCE, CUE_MESH_FALL   the mesh, which rises
//                               from its scene's start, rests, bounces, falls
//   CUE_NOISE_FLASH             the noise picture flashes in over the crawl
//   CUE_FINALE                  the crawl gives way to the finale's pulse
//
// Positions are MusicPos (core/music_pos.h).
#pragma once

#include "core/music_pos.h"

#include <array>

constexpr int SCENE_COUNT = 7;

constexpr std::array<MusicPos, SCENE_COUNT> SCENE_STARTS = {
    music_pos(0, 0),   // 1 the tower scroll
    music_pos(3, 0),   // 2 the smoke
    music_pos(5, 0),   // 3 the circles and the credits
    music_pos(7, 0),   // 4 the fly-in
    music_pos(9, 0),   // 5 the fade
    music_pos(10, 0),  // 6 the mesh
    music_pos(12, 0),  // 7 the crawl and the finale
};

constexpr MusicPos SHOW_LAST_POSITION = music_pos(13, 62);

constexpr int32_t SMOKE_SEED_ROWS = 32;

constexpr MusicPos CUE_TINT = music_pos(8, 32);
constexpr MusicPos CUE_MESH_REST = music_pos(10, 32);
constexpr MusicPos CUE_MESH_BOUNCE = music_pos(11, 0);
constexpr MusicPos CUE_MESH_FALL = music_pos(11, 48);
constexpr MusicPos CUE_NOISE_FLASH = music_pos(13, 24);
constexpr MusicPos CUE_FINALE = music_pos(13, 40);
