#include "tools/modrender/song_end.h"

ComingTick song_end_coming(const PlayerState& state)
{
    const Playback& p = state.play;
    ComingTick t;
    t.row_start = p.speed != 0 && p.tick + 1 >= p.speed;
    for (int32_t c = 0; c < state.song.channels; ++c) {
        const ChannelState& ch = state.channels[c];
        if (ch.pattern_delay > 0)
            t.row_start = false;  // this tick holds the row instead
        if (ch.loop_count > 0)
            t.pattern_loop = true;
    }
    return t;
}

bool song_end_after_tick(SongEndWatch& watch, const ComingTick& coming, const PlayerState& after)
{
    if (!coming.row_start)
        return false;
    const uint32_t order = uint32_t(after.play.playing_order);
    const uint32_t row = uint32_t(after.play.playing_row);
    if (order >= uint32_t(PT_ORDER_ENTRIES) || row >= uint32_t(PT_ROWS_PER_PATTERN))
        return false;
    const uint64_t bit = uint64_t(1) << row;
    const bool again = (watch.played[order] & bit) != 0;
    watch.played[order] |= bit;
    return again && !coming.pattern_loop;
}
