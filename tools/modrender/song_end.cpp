#include "tools/modrender/song_end.h"

bool song_end_row_starts(const PlayerState& state)
{
    const Playback& p = state.play;
    if (p.speed == 0 || p.tick + 1 < p.speed)
        return false;
    for (int32_t c = 0; c < state.song.channels; ++c)
        if (state.channels[c].pattern_delay > 0)
            return false;  // this tick holds the row instead
    return true;
}

bool song_end_after_tick(SongEndWatch& watch, const Playback& before, const PlayerState& after,
                         bool row_started)
{
    if (!row_started)
        return false;
    if (!watch.started) {
        watch.started = true;  // the reset state names no entry that was played
        return false;
    }
    // The row counter stands at 63 before a row start only when the entry is
    // done: its last row played out, or a jump or break set it there. A loop
    // back (E6x) leaves it below. A jump pulled back by a later channel's loop
    // can change the entry without that, hence the second test.
    const int32_t from = before.playing_order;
    const int32_t to = after.play.playing_order;
    if (before.row != 63 && from == to)
        return false;
    if (uint32_t(from) < uint32_t(PT_ORDER_ENTRIES))
        watch.finished[size_t(from)] = true;
    return uint32_t(to) < uint32_t(PT_ORDER_ENTRIES) && watch.finished[size_t(to)];
}
