// Ticks 1.. of a row: slides, portamento, vibrato, tremolo, arpeggio,
// retrigger, note cut and note delay.

#include "sound/player/player_internal.h"
#include "sound/player/tables.h"

namespace {

const int16_t* waveform(const PlayerState& st, int32_t number)
{
    switch (number & 3) {
    case 0:
        return SineWave.data();
    case 1:
        return st.ramp_wave.data();
    case 2:
        return SquareWave.data();
    default:
        return st.random_wave.data();
    }
}

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

void vibrato(const PlayerState& st, ChannelState& ch)
{
    const int32_t offset = ch.vibrato_depth * waveform(st, st.play.vibrato_wave)[ch.vibrato_pos] / 127;
    drv_set_period(ch.period + offset);
    ch.vibrato_pos = (ch.vibrato_pos + ch.vibrato_speed) & 63;
}

void tremolo(const PlayerState& st, ChannelState& ch)
{
    int32_t v = ch.volume + ch.tremolo_depth * waveform(st, st.play.tremolo_wave)[ch.tremolo_pos] / 127;
    v = v < 0 ? 0 : v > 64 ? 64 : v;
    drv_set_volume(v);
    ch.tremolo_pos = (ch.tremolo_pos + ch.tremolo_speed) & 63;
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
    case 0x9:
        if (y != 0 && cell.note < NO_NOTE && tick % y == 0)
            restart_note(ch, cell.note);
        break;
    case 0xC:
        if (on_tick)
            drv_set_volume(0);
        break;
    case 0xD:
        if (cell.note < NO_NOTE && on_tick) {
            ch.note = cell.note;
            restart_note(ch, cell.note);
        }
        break;
    default:
        break;
    }
}

}  // namespace

void tick_effects(PlayerState& st, int32_t c, const Cell& cell)
{
    ChannelState& ch = st.channels[c];
    const int32_t param = cell.param, x = param >> 4, y = param & 15;
    switch (cell.command) {
    case 0x0:
        if (param != 0) {
            const int32_t step = st.play.tick % 3;
            const int32_t n = ch.note + (step == 1 ? x : step == 2 ? y : 0);
            drv_set_period(period_at(ch.finetune, n));
        }
        break;
    case 0x1:
        ch.period -= param;
        if (ch.period <= PERIOD_MIN - 1)
            ch.period = PERIOD_MIN;
        drv_set_period(ch.period);
        break;
    case 0x2:
        ch.period += param;
        if (ch.period > PERIOD_MAX)
            ch.period = PERIOD_MAX;
        drv_set_period(ch.period);
        break;
    case 0x3:
        if (param != 0)
            ch.porta_speed = param;
        slide(ch);
        drv_set_period(ch.glissando == 0 ? ch.period : glissando_period(ch));
        break;
    case 0x4:
        if (y != 0)
            ch.vibrato_depth = y;
        if (x != 0)
            ch.vibrato_speed = x;
        vibrato(st, ch);
        break;
    case 0x5:
        slide(ch);
        drv_set_period(ch.period);
        volume_slide(ch, param);
        break;
    case 0x6:
        vibrato(st, ch);
        volume_slide(ch, param);
        break;
    case 0x7:
        if (y != 0)
            ch.tremolo_depth = 2 * y;
        if (x != 0)
            ch.tremolo_speed = x;
        tremolo(st, ch);
        break;
    case 0xA:
        volume_slide(ch, param);
        break;
    case 0xE:
        extended(st, ch, cell, x, y);
        break;
    default:
        break;
    }
}
