// What the generator can prove about its own song before writing it:
// the notes stay in the key, the mixed level can never wrap, no arpeggio
// leaves its voice on one of its steps, and every cue row of the show
// starts a strong note. Also reads back the row timeline the song implies.
//
// Entry points:
//   play_rows(song, orders)       the (pattern, row) cells in play order
//   key_violations(song, key)     notes of pitched samples outside the key
//   level_bound(song, orders)     the largest possible |sum| of all voices,
//                                 per output side, by our mixer's gain law
//   held_arpeggio_steps(song)     rows after an arpeggio on which the voice
//                                 would go on sounding one of its steps
//   note_starts(song, pos)        the notes started on a row (a MusicPos)
//   show_cues()                   the positions the pictures react to, read
//                                 from the show's tables: the smoke bursts,
//                                 sprites, credit lines, the palette sweep,
//                                 the bounce, the fall, the noise flash and
//                                 the finale
//   missed_cues(song, cues)       the cues on which no note of volume
//                                 CUE_NOTE_VOLUME or more starts
#pragma once

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

// Our player keeps a voice on the arpeggio step of the row's last tick
// until a note or another arpeggio sets its period again; other players go
// back to the note. So the row after an arpeggio must start a note, go on
// with the arpeggio or silence the voice on its first tick (C00), unless
// the voice is already silent or the last tick played the note itself
// (step digit 0, e.g. 040 at speed 6). Fades and empty rows qualify only
// then. One-shot voices count as sounding: arpeggios belong on loops.
struct HeldStep {
    int order, row, channel;
    int semitones;  // the step held above the note
};
std::vector<HeldStep> held_arpeggio_steps(const ScoreSong& song);

struct NoteStart {
    int channel, sample, volume;
};
std::vector<NoteStart> note_starts(const ScoreSong& song, int pos);

constexpr int CUE_NOTE_VOLUME = 32;
std::vector<int> show_cues();
std::vector<int> missed_cues(const ScoreSong& song, const std::vector<int>& cues);

int sample_peak(const SampleDef& s);
