// The composition: the fragments of pattern text, how each order strings
// them together per channel, and the echo channel derived from the lead.
//
// Channels: 0 pad, 1 pluck / stabs / chip arpeggios, 2 hats and crash,
// 3 echo of the lead / riser / chip, 4 snare, 5 lead, 6 kick and impact,
// 7 bass. One pattern per order entry; entries 0..13 are the show, which
// ends as row 63 of entry 13 is heard, after the last chord has died away;
// 14 is a silent tail.
//
// Entry points:
//   build_song()           the whole ScoreSong, samples included; throws TextError
//   A_MINOR                the pitch classes the melodic channels may use
#pragma once

#include <vector>

#include "tools/music/song.h"

ScoreSong build_song();

// Pitch classes allowed (bit = semitone above C): the piece is in A minor;
// the raised seventh (G#) belongs to it as the leading note of E major.
inline constexpr unsigned A_MINOR =
    1u << 9 | 1u << 11 | 1u << 0 | 1u << 2 | 1u << 4 | 1u << 5 | 1u << 7 | 1u << 8;
