// Where a song ends: the first time playback enters an order-list entry it
// has already finished, by running off the end of the list (on to the
// restart position) or by a backward jump. A pattern loop stays inside its
// entry and never ends the song; a forward jump skips entries without
// finishing them, so a later jump back into a skipped one plays on.
//
// Entry points:
//   song_end_row_starts(state)     true if the next pt_tick starts a row
//                                  (not held by a pattern delay, not frozen
//                                  at speed 0)
//   song_end_after_tick(w, before, after, row_started)
//                                  called after each pt_tick with the
//                                  playback state from before it; true when
//                                  that tick re-entered a finished entry
#pragma once

#include <array>

#include "sound/player/player_state.h"

struct SongEndWatch {
    bool started = false;  // the first row has begun
    std::array<bool, PT_ORDER_ENTRIES> finished{};
};

bool song_end_row_starts(const PlayerState& state);
bool song_end_after_tick(SongEndWatch& watch, const Playback& before, const PlayerState& after,
                         bool row_started);
