// Where a rendered song ends: at the first row it would play a second time,
// reached by running off the end of the order list (on to the restart
// position) or by a jump back (B, D). Rows are told apart by order-list entry
// and row, so a pattern named twice in the list plays twice. Rows that a
// pattern loop (E6x) plays again don't count: its jump back makes the rows
// it repeats new again.
//
// Entry point:
//   song_end_after_tick(w, row_started, after)
//                                  called after each pt_tick with what
//                                  pt_next_tick_starts_row() said before it;
//                                  true when the row it started has played
//                                  before
#pragma once

#include <array>
#include <cstdint>

#include "sound/player/player_state.h"

struct SongEndWatch {
    std::array<uint64_t, PT_ORDER_ENTRIES> played{};  // bit r of entry e: row r of e has started
};

bool song_end_after_tick(SongEndWatch& watch, bool row_started, const PlayerState& after);
