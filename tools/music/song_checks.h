// What the generator can prove about its own song before writing it:
// the notes stay in the key, the mixed level can never wrap, and every cue
// row starts a note. Also reads back the row timeline the song implies.
//
// Entry points:
//   play_rows(song, orders)       the (pattern, row) cells in play order
//   key_violations(song, key)     notes of pitched samples outside the key
//   level_bound(song, orders)     the largest possible |sum| of all voices,
//                                 per output side, by our mixer's gain law
//   voice_gain(volume, pan)       that law for one voice: {first, second}
//   note_starts(song, pos)        the notes started on a row (order x 100 + row)
#pragma once

#include <utility>
#include <vector>

#include "tools/music/song.h"

struct PlayRow {
    int order;
    int row;
    const std::array<ScoreCell, CHANNELS>* cells;
};

std::vector<PlayRow> play_rows(const ScoreSong& song, int orders);

struct KeyViolation {
    int order, row, channel, note;
};
std::vector<KeyViolation> key_violations(const ScoreSong& song, unsigned pitch_classes);

struct LevelBound {
    long first = 0, second = 0;  // worst case |sum| for each output sample of a frame
    int order = 0, row = 0;      // where the larger one occurs
};
LevelBound level_bound(const ScoreSong& song, int orders);

std::pair<int, int> voice_gain(int volume, int pan);

struct NoteStart {
    int channel, sample, volume;
};
std::vector<NoteStart> note_starts(const ScoreSong& song, int pos);

int sample_peak(const SampleDef& s);
