#include "tools/modrender/song_end.h"

bool song_end_after_tick(SongEndWatch& watch, bool row_started, const PlayerState& after)
{
    if (!row_started)
        return false;
    const Playback& p = after.play;
    const uint32_t order = uint32_t(p.playing_order);
    const uint32_t row = uint32_t(p.playing_row);
    if (order >= uint32_t(PT_ORDER_ENTRIES) || row >= uint32_t(ROWS_PER_PATTERN))
        return false;
    const uint64_t bit = uint64_t(1) << row;
    const bool again = (watch.played[order] & bit) != 0;
    watch.played[order] |= bit;
    // The row's first tick has run. A jump or break leaves the row counter
    // at 63; a pattern loop jumping back leaves it just before the loop's
    // first row, in the same entry: the rows from there to this one will
    // play again, and count as new.
    if (p.row != 63 && p.row < p.playing_row && p.order_pos == p.playing_order)
        for (int32_t r = p.row + 1; r <= p.playing_row; ++r)
            watch.played[order] &= ~(uint64_t(1) << r);
    return again;
}
