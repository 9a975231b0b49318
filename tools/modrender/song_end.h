// Where a rendered song ends: at the first row it would play a second time,
// reached by running off the end of the order list (on to the restart
// position) or by a jump back (B, D). Rows are told apart by order-list entry
// and row, so a pattern named twice in the list plays twice. Rows that a
// pattern loop (E6x) plays again don't count: while a loop is under way on
// any channel nothing ends the song.
//
// Entry points:
//   song_end_coming(state)          what the next pt_tick will be: whether it
//                                   starts a row (not held by a pattern delay,
//                                   not frozen at speed 0), and whether a
//                                   pattern loop is under way
//   song_end_after_tick(w, coming, after)
//                                   called after each pt_tick with what was
//                                   said of it before; true when the row it
//                                   started has played before
#pragma once

#include <array>
#include <cstdint>

#include "sound/player/player_state.h"

struct SongEndWatch {
    std::array<uint64_t, PT_ORDER_ENTRIES> played{};  // bit r of entry e: row r of e has started
};

struct ComingTick {
    bool row_start = false;     // it starts a row
    bool pattern_loop = false;  // some channel's E6x loop still has repetitions to play
};

ComingTick song_end_coming(const PlayerState& state);
bool song_end_after_tick(SongEndWatch& watch, const ComingTick& coming, const PlayerState& after);
