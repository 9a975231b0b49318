#include "sound/player/tick.h"

#include "core/rand.h"
#include "sound/player/player_internal.h"
#include "sound/player/tables.h"

namespace {

constexpr std::array<uint8_t, PT_MAX_CHANNELS> INITIAL_PAN = {
    4, 12, 5, 11, 6, 10, 9, 7, 1, 14, 9, 7,  //
    7, 9,  9, 7,  7, 9,  9, 7, 7, 9,  9, 7, 7, 9, 9, 7, 7, 9, 9, 7,
};

// The default pans are part of the program's start state, not of a reset:
// the demo never resets the player before loading.
PlayerState start_state()
{
    PlayerState st;
    st.default_pan = INITIAL_PAN;
    return st;
}

PlayerState player = start_state();

// Start the next row. Returns false when a pattern delay holds the current
// row instead: then no channel is processed on this tick.
bool start_row(PlayerState& st)
{
    Playback& p = st.play;
    const Song& song = st.song;
    p.tick = 0;

    bool held = false;
    for (int32_t c = 0; c < song.channels; ++c) {
        ChannelState& ch = st.channels[c];
        if (ch.pattern_delay > 0) {
            --ch.pattern_delay;
            held = true;
        }
    }
    if (held)
        return false;

    ++p.row;
    if (p.row >= ROWS_PER_PATTERN) {
        ++p.order_pos;
        p.row = p.break_row;
        p.break_row = 0;
        if (static_cast<uint32_t>(p.order_pos) >= static_cast<uint32_t>(song.song_length))
            p.order_pos = song.restart;
    }
    // A position jump whose row was then pulled back by a pattern loop on a
    // later channel leaves the order position where B put it, which may be
    // outside the song (B00 gives -1); such a position continues at the
    // restart position like any other past the end.
    if (static_cast<uint32_t>(p.order_pos) >= static_cast<uint32_t>(song.song_length))
        p.order_pos = song.restart;
    if (p.row < 0 || p.row >= ROWS_PER_PATTERN)
        p.row = 0;

    p.playing_order = p.order_pos;
    p.playing_row = p.row;
    const uint32_t pattern = song.order[static_cast<uint32_t>(p.order_pos) % PT_ORDER_ENTRIES];
    p.row_offset = song.pattern_offset[pattern] + static_cast<uint32_t>(p.row * song.channels * 4);
    return true;
}

}  // namespace

const PlayerState& pt_state() { return player; }
PlayerState& pt_state_mut() { return player; }

void pt_state_reset() { player = start_state(); }

void pt_reset_player()
{
    PlayerState& st = player;
    for (ChannelState& ch : st.channels) {
        const int32_t glissando = ch.glissando, pan = ch.pan;
        ch = ChannelState{};
        ch.glissando = glissando;
        ch.pan = pan;
    }
    Playback& p = st.play;
    p.break_row = 0;
    p.order_pos = -1;
    p.speed = 6;
    p.tempo = 125;
    p.tick = 5;
    p.row = ROWS_PER_PATTERN - 1;
    p.playing_order = 0;
    p.playing_row = 0;
    p.vibrato_wave = 0;
    p.tremolo_wave = 0;
    for (int32_t i = 0; i < 64; ++i) {
        st.ramp_wave[i] = static_cast<int16_t>(255 - 8 * i);
        st.random_wave[i] = static_cast<int16_t>(core_rand() % 511 - 256);
    }
}

bool pt_next_tick_starts_row()
{
    const Playback& p = player.play;
    if (p.speed == 0 || p.tick + 1 < p.speed)
        return false;
    for (int32_t c = 0; c < player.song.channels; ++c)
        if (player.channels[c].pattern_delay > 0)
            return false;
    return true;
}

void pt_tick()
{
    PlayerState& st = player;
    Playback& p = st.play;
    if (p.speed != 0) {
        ++p.tick;
        if (p.tick >= p.speed && !start_row(st))
            return;
    }
    const Song& song = st.song;
    if (song.channels == 0 || p.row_offset + static_cast<size_t>(song.channels) * 4 > song.image_size)
        return;
    const uint8_t* row = song.image + p.row_offset;
    for (int32_t c = 0; c < song.channels; ++c) {
        const uint8_t* b = row + 4 * c;
        // The converter already keeps sample and note in range; clamping
        // again costs nothing and keeps any stray byte away from the tables.
        const Cell cell{b[0] > 31 ? 0 : b[0], b[1] > NO_NOTE ? NO_NOTE : b[1], b[2] & 0x0F, b[3]};
        drv_select_voice(c);
        if (p.tick == 0)
            row_effects(st, c, cell);
        else
            tick_effects(st, c, cell);
    }
}
