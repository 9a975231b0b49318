// The in-memory song: what the score builds, the checks inspect and the
// writer turns into bytes.
//
// Entry points:
//   ScoreCell, Pattern, SampleDef, ScoreSong  plain records; the Score
//                                 prefix keeps them apart from the player's
//                                 own Cell and Song, linked into the same
//                                 programs
//   note_period(note)             finetune-0 period of a note column
//   note_name(note)               "C-2", "G#1", "---"
//   CHANNEL_PAN[c]                the pan our player gives channel c
#pragma once

#include "core/music_pos.h"
#include "core/sound_rates.h"
#include "sound/player/tables.h"  // NO_NOTE and the periods, as the player has them

#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int CHANNELS = 8;
constexpr int ROWS = ROWS_PER_PATTERN;
// The pace the first row sets (F06, F7D) and the song keeps: 6 ticks a row
// at tempo 125, a tick of 882 frames.
constexpr int SPEED = 6;
constexpr int TEMPO = 125;
constexpr int TICK_FRAMES = TICK_FRAMES_NUMERATOR / (50 * TEMPO);
// Notes are columns of the finetune-0 period row, 0 = period 3424. The
// classic three octaves (C-1 = 856 .. B-3 = 113) are columns 24..59; the
// score stays inside them so every player agrees on the pitch.
constexpr int FIRST_NOTE = 24;
constexpr int LAST_NOTE = 59;

struct ScoreCell {
    uint8_t note = NO_NOTE;  // column, or NO_NOTE
    uint8_t sample = 0;      // 1..31, 0 = none
    uint8_t cmd = 0;         // 0..15
    uint8_t param = 0;
    bool operator==(const ScoreCell&) const = default;
};

struct Pattern {
    std::array<std::array<ScoreCell, CHANNELS>, ROWS> rows{};  // rows[row][channel]
};

struct SampleDef {
    std::string name;
    std::vector<int8_t> data;   // even length
    int volume = 64;            // header default volume
    uint32_t loop_start = 0;    // bytes
    uint32_t loop_length = 0;   // bytes; 0 = one-shot
    bool pitched = false;       // carries a note of the key (drums do not)
    std::vector<int> chord{0};  // semitones sounding above the played note
};

struct ScoreSong {
    std::string title;
    std::vector<SampleDef> samples;  // samples[0] is sample number 1
    std::vector<Pattern> patterns;
    std::vector<uint8_t> orders;
    uint8_t restart = 0;
};

// Pan handed to the mixer at every sample start on channel c (16 x the
// player's default pan table), 0 = all right, 255 = all left.
constexpr std::array<int, CHANNELS> CHANNEL_PAN{64, 192, 80, 176, 96, 160, 144, 112};

int note_period(int note);
std::string note_name(int note);
