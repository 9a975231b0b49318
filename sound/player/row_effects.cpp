// Tick 0 of a row: the cell's sample, its note, and the effects that act
// once per row.

#include "sound/player/player_internal.h"
#include "sound/player/tables.h"

namespace {

void set_speed_or_tempo(Playback& p, int32_t param)
{
    if (param <= 31)
        p.speed = param;  // 0 included: it freezes the row
    else
        p.tempo = param;
}

void extended(PlayerState& st, int32_t c, int32_t x, int32_t y)
{
    ChannelState& ch = st.channels[c];
    Playback& p = st.play;
    switch (x) {
    case 0x1:  // fine slide up; the digit is not used
        if (ch.period >= PERIOD_MIN + 1)
            drv_set_period(--ch.period);
        break;
    case 0x2:  // fine slide down
        if (ch.period <= PERIOD_MAX - 1)
            drv_set_period(++ch.period);
        break;
    case 0x3:
        ch.glissando = y;
        break;
    case 0x4:
        if (y <= 3)
            ch.vibrato_pos = 0;
        p.vibrato_wave = y & 3;
        break;
    case 0x5:
        ch.finetune = y;
        break;  // the note of this row already started
    case 0x6:
        if (y == 0) {
            ch.loop_row = p.row;
        } else if (ch.loop_count == 0) {
            ch.loop_count = y;
            p.row = ch.loop_row - 1;
        } else if (--ch.loop_count > 0) {
            p.row = ch.loop_row - 1;
        }
        break;
    case 0x7:
        if (y <= 3)
            ch.tremolo_pos = 0;
        p.tremolo_wave = y & 3;
        break;
    case 0x8:  // rewrites the channel's default pan for every later sample start
        st.default_pan[c] = static_cast<uint8_t>(y);
        drv_set_pan(16 * y);
        break;
    case 0xA:
        if (ch.volume <= 63)
            drv_set_volume(++ch.volume);
        break;
    case 0xB:
        if (ch.volume >= 1)
            drv_set_volume(--ch.volume);
        break;
    case 0xE:
        ch.pattern_delay = y;
        break;
    default:
        break;  // E0, E9, EC, ED, EF: nothing on the first tick
    }
}

}  // namespace

void row_effects(PlayerState& st, int32_t c, const Cell& cell)
{
    ChannelState& ch = st.channels[c];
    Playback& p = st.play;
    const int32_t cmd = cell.command, param = cell.param;
    const int32_t x = param >> 4, y = param & 15;

    if (cell.sample != 0) {
        ch.volume = st.song.samples[cell.sample].volume;
        ch.pan = 16 * st.default_pan[c];
        ch.sample = cell.sample;
        if (cmd != 0xC)
            drv_set_volume(ch.volume);
        if (cmd != 0x8)
            drv_set_pan(16 * st.default_pan[c]);
        drv_set_sample(cell.sample);
    }

    if (cell.note < NO_NOTE) {
        ch.finetune = st.song.samples[ch.sample].finetune;
        ch.porta_target = period_at(ch.finetune, cell.note);
        if (cmd == 0x3 || cmd == 0x5) {
            // Tone portamento: the note is only a target, the voice runs on.
        } else if (cmd == 0xE && x == 0xD) {
            return;  // note delay: a later tick starts it, no effect now
        } else {
            ch.period = ch.porta_target;
            drv_set_period(ch.period);
            if (cmd != 0x9)
                drv_set_offset(0);
            ch.note = cell.note;
        }
    }

    switch (cmd) {
    case 0x0:
        if (param != 0)
            drv_set_period(period_at(ch.finetune, ch.note));
        break;
    case 0x8:
        ch.pan = param;
        drv_set_pan(param);
        break;
    case 0x9:
        drv_set_offset(static_cast<uint32_t>(param) * 256);
        break;
    case 0xB:  // position jump: the next row is the break row of entry param
        p.order_pos = param - 1;
        p.row = 63;
        break;
    case 0xC:  // not limited to 64
        ch.volume = param;
        drv_set_volume(param);
        break;
    case 0xD: {
        // The parameter is two decimal digits. A row past the pattern's end
        // starts the next entry at its top.
        const int32_t row = x * 10 + y;
        p.row = 63;
        p.break_row = row > 63 ? 0 : row;
        break;
    }
    case 0xE:
        extended(st, c, x, y);
        break;
    case 0xF:
        set_speed_or_tempo(p, param);
        break;
    default:
        break;  // 1..7 and A act on later ticks only
    }
}
