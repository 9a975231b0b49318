// The music position, MusicPos: which row of which order-list entry is
// heard, as one signed 32-bit number, entry * 100 + row, so that 1362 reads
// as entry 13, row 62. -1 before the first poll, 0 until a row is heard.
// The row stamps count rows from the song's start instead, entry * 64 + row:
// the row index.
//
// Entry points:
//   MusicPos, ROWS_PER_PATTERN
//   music_pos(order, row)          put one together
//   music_pos_order(pos), music_pos_row(pos)   take one apart
//   music_pos_index(pos)           the row index of a position
//   music_pos_at_index(index)      the position of a row index
#pragma once

#include <cstdint>

using MusicPos = int32_t;

// Rows of every pattern, 0..63.
constexpr int32_t ROWS_PER_PATTERN = 64;

// Entry `order` (0..127 in a module), row 0..63.
constexpr MusicPos music_pos(int32_t order, int32_t row) { return order * 100 + row; }
constexpr int32_t music_pos_order(MusicPos pos) { return pos / 100; }
constexpr int32_t music_pos_row(MusicPos pos) { return pos % 100; }

constexpr int32_t music_pos_index(MusicPos pos)
{
    return music_pos_order(pos) * ROWS_PER_PATTERN + music_pos_row(pos);
}
constexpr MusicPos music_pos_at_index(int32_t index)
{
    return music_pos(index / ROWS_PER_PATTERN, index % ROWS_PER_PATTERN);
}
