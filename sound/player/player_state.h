// The module player's whole state, kept in one place.
//
// The loader fills the song, the tick engine steps the playback state and
// the channels; everyone else (the clock, tools, tests) only reads it.
//
// Entry points:
//   pt_state()        read-only view of the player (song, playback, channels)
//   pt_state_reset()  back to the start-of-program state: nothing loaded,
//                     speed 0, the initial default pans, no last error
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/music_pos.h"
#include "sound/player/oscillator.h"

struct SampleHeader {
    int32_t length = 0;       // bytes of sample data present, 0..131070
    int32_t loop_start = 0;   // bytes, inside the sample
    int32_t loop_length = 0;  // bytes, loop_start + loop_length <= length; 2 or less: no loop
    uint8_t finetune = 0;     // PeriodTable row, 0..15
    int32_t volume = 0;       // default volume, 0..64
};

struct ChannelState {
    int32_t period = 0;         // the channel's own period (0 before a note); slides keep it in 27..3628
    int32_t volume = 0;         // 0..64, up to 255 after command C
    int32_t note = 0;           // PeriodTable column of the last note started, 0..83
    int32_t finetune = 0;       // PeriodTable row, 0..15
    int32_t sample = 0;         // last sample number given in a cell, 0..31
    int32_t pan = 0;            // 0..255, last handed over at a sample start or by 8xx
    int32_t porta_target = 0;   // period tone portamento slides towards
    int32_t porta_speed = 0;    // period units per tick, 0..255
    int32_t glissando = 0;      // E3x: nonzero makes tone portamento sound in note steps
    Oscillator vibrato;         // 4xy, 6xy; its waveform is Playback::vibrato_wave
    Oscillator tremolo;         // 7xy; its waveform is Playback::tremolo_wave
    int32_t loop_row = 0;       // row remembered by E60, 0..63
    int32_t loop_count = 0;     // E6x repetitions still to play, 0..15
    int32_t pattern_delay = 0;  // EEx: rows for which the current row is still held, 0..15
};

inline constexpr int32_t PT_MAX_CHANNELS = 32;
inline constexpr int32_t PT_ORDER_ENTRIES = 128;

struct Song {
    uint8_t* image = nullptr;  // the module image; patterns are converted inside it
    size_t image_size = 0;
    std::array<SampleHeader, 32> samples{};         // entry 0 is never filled
    int32_t song_length = 0;                        // order entries played, 0..128
    int32_t restart = 0;                            // 0..126
    std::array<uint8_t, PT_ORDER_ENTRIES> order{};  // pattern numbers, each <= highest_pattern
    int32_t highest_pattern = 0;
    std::array<uint32_t, PT_ORDER_ENTRIES> pattern_offset{};  // byte offset of each pattern in image
    int32_t channels = 0;  // 0 while no module is loaded: ticks then touch no channel
};

struct Playback {
    int32_t speed = 0;        // ticks per row, 0..31 (Fxx below 32); 0 freezes the row
    int32_t tempo = 0;        // beats per minute, 32..255 (Fxx from 32); the clock turns it into tick length
    int32_t tick = 0;         // tick within the row, 0 = first
    int32_t row = 0;          // 0..63
    int32_t order_pos = 0;    // current order-list entry, 0..song_length - 1 (-1 before the first row)
    int32_t break_row = 0;    // row the next order entry starts at, 0..63 (Dxy)
    uint32_t row_offset = 0;  // byte offset of the current row's first cell in the image
    // The order entry and row whose cells are in force. order_pos and row
    // already show a jump's target from the tick that set it on.
    int32_t playing_order = 0;
    int32_t playing_row = 0;
    int32_t vibrato_wave = 0;  // waveform 0..3 (osc_waveform), shared by all channels; E4x
    int32_t tremolo_wave = 0;  // the same for tremolo; E7x
};

struct PlayerState {
    Song song;
    Playback play;
    std::array<ChannelState, PT_MAX_CHANNELS> channels{};
    std::array<uint8_t, PT_MAX_CHANNELS> default_pan{};  // 0..15 per channel; never reset by a load
    Waveform ramp_wave{};                                // built by pt_reset_player
    Waveform random_wave{};                              // from core_rand() by pt_reset_player, -256..254
    const char* last_error = nullptr;
};

const PlayerState& pt_state();
void pt_state_reset();
