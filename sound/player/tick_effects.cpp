// Ticks 1.. of a row: slides, portamento, vibrato, tremolo, arpeggio,
// retrigger, note cut and note delay.

#include "sound/player/player_internal.h"
#include "sound/player/tables.h"

namespace {

// Tone portamento: move towards the target by the porta speed, never past it.
void slide(ChannelState& ch)
{
    if (ch.period < ch.porta_target) {
        ch.period += ch.porta_speed;
        if (ch.period > ch.porta_target)
            ch.period = ch.porta_target;
    } else if (ch.period > ch.porta_target) {
        ch.period -= ch.porta_speed;
        if (ch.period < ch.porta_target)
            ch.period = ch.porta_target;
    }
}

// The note step nearest below the sliding period: walking the channel's
// row from the top column down, the first entry >= the period.
int32_t glissando_period(const ChannelState& ch)
{
    const PeriodRow& row = PeriodTable[ch.finetune & 15];
    for (int32_t col = NO_NOTE; col >= 0; --col)
        if (row[col] >= ch.period)
            return row[col];
    return row[0];
}

// The voice's period swings round the channel's, which stays put.
void vibrato(const PlayerState& st, ChannelState& ch)
{
    const Waveform& wave = osc_waveform(st.play.vibrato_wave, st.ramp_wave, st.random_wave);
    drv_set_period(ch.period + osc_next(ch.vibrato, wave));
}

// The voice's volume swings round the channel's, which stays put.
void tremolo(const PlayerState& st, ChannelState& ch)
{
    const Waveform& wave = osc_waveform(st.play.tremolo_wave, st.ramp_wave, st.random_wave);
    const int32_t v = ch.volume + osc_next(ch.tremolo, wave);
    drv_set_volume(v < 0 ? 0 : v > 64 ? 64 : v);
}

// x raises (y then ignored), otherwise y lowers; A00 re-sends the volume.
void volume_slide(ChannelState& ch, int32_t param)
{
    if (param > 15)
        ch.volume += param >> 4;
    else
        ch.volume -= param & 15;
    ch.volume = ch.volume < 0 ? 0 : ch.volume > 64 ? 64 : ch.volume;
    drv_set_volume(ch.volume);
}

// Restart note n from the sample start at the channel's volume.
void restart_note(ChannelState& ch, int32_t n)
{
    ch.period = period_at(ch.finetune, n);
    drv_set_volume(ch.volume);
    drv_set_period(ch.period);
    drv_set_offset(0);
}

void extended(PlayerState& st, ChannelState& ch, const Cell& cell, int32_t x, int32_t y)
{
    const int32_t tick = st.play.tick, speed = st.play.speed;
    // Cut and delay digits past the row's length act on its last tick.
    const bool on_tick = tick == y || (tick == speed - 1 && y >= speed);
    switch (x) {
    case 0x9:  // E9y retrigger the cell's note every y ticks
        if (y != 0 && cell.note < NO_NOTE && tick % y == 0)
            restart_note(ch, cell.note);
        break;
    case 0xC:  // ECy note cut on tick y: the voice's volume only
        if (on_tick)
            drv_set_volume(0);
        break;
    case 0xD:  // EDy note delay: the cell's note starts on tick y
        if (cell.note < NO_NOTE && on_tick) {
            ch.note = cell.note;
            restart_note(ch, cell.note);
        }
        break;
    default:
        break;  // the other E commands act on the first tick only
    }
}

}  // namespace

void tick_effects(PlayerState& st, int32_t c, const Cell& cell)
{
    ChannelState& ch = st.channels[c];
    const int32_t param = cell.param, x = param >> 4, y = param & 15;
    switch (cell.command) {
    case 0x0:  // 0xy arpeggio: note, note + x, note + y by tick mod 3
        if (param != 0) {
            const int32_t step = st.play.tick % 3;
            const int32_t n = ch.note + (step == 1 ? x : step == 2 ? y : 0);
            drv_set_period(period_at(ch.finetune, n));
        }
        break;
    case 0x1:  // 1xx slide up: the period falls by xx a tick, to 27 at least
        ch.period -= param;
        if (ch.period <= PERIOD_MIN - 1)
            ch.period = PERIOD_MIN;
        drv_set_period(ch.period);
        break;
    case 0x2:  // 2xx slide down: the period rises by xx a tick, to 3628 at most
        ch.period += param;
        if (ch.period > PERIOD_MAX)
            ch.period = PERIOD_MAX;
        drv_set_period(ch.period);
        break;
    case 0x3:  // 3xx tone portamento towards the last note, xx a tick (00: as before)
        if (param != 0)
            ch.porta_speed = param;
        slide(ch);
        drv_set_period(ch.glissando == 0 ? ch.period : glissando_period(ch));
        break;
    case 0x4:  // 4xy vibrato at speed x, depth y (0: as before)
        osc_set(ch.vibrato, x, y);
        vibrato(st, ch);
        break;
    case 0x5:  // 5xy tone portamento as before, and Axy volume slide
        slide(ch);
        drv_set_period(ch.period);
        volume_slide(ch, param);
        break;
    case 0x6:  // 6xy vibrato as before, and Axy volume slide
        vibrato(st, ch);
        volume_slide(ch, param);
        break;
    case 0x7:  // 7xy tremolo at speed x, depth 2y (0: as before)
        osc_set(ch.tremolo, x, 2 * y);
        tremolo(st, ch);
        break;
    case 0xA:  // Axy volume slide: up by x, or down by y
        volume_slide(ch, param);
        break;
    case 0xE:  // Exy extended commands
        extended(st, ch, cell, x, y);
        break;
    default:
        break;  // 8, 9, B, C, D, F act on the first tick only
    }
}
