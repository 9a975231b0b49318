// Tick 0 of a row: the cell's sample, its note, and the effects that act
// once per row. Commands are named as trackers write them: the command
// digit, then x and y for the two digits of the parameter, or xx for all of it.

#include "sound/player/player_internal.h"
#include "sound/player/tables.h"

namespace {

void extended(PlayerState& st, int32_t c, int32_t x, int32_t y)
{
    ChannelState& ch = st.channels[c];
    Playback& p = st.play;
    switch (x) {
    case 0x1:  // E1y fine slide up by one period; y is not used
        if (ch.period >= PERIOD_MIN + 1)
            drv_set_period(--ch.period);
        break;
    case 0x2:  // E2y fine slide down by one period; y is not used
        if (ch.period <= PERIOD_MAX - 1)
            drv_set_period(++ch.period);
        break;
    case 0x3:  // E3y glissando control
        ch.glissando = y;
        break;
    case 0x4:  // E4y vibrato waveform y & 3; y <= 3 also restarts it
        if (y <= 3)
            ch.vibrato.position = 0;
        p.vibrato_wave = y & 3;
        break;
    case 0x5:  // E5y set finetune; the note of this row already started
        ch.finetune = y;
        break;
    case 0x6:  // E6y pattern loop: E60 marks the row, E6y plays back to it y times
        if (y == 0) {
            ch.loop_row = p.row;
        } else if (ch.loop_count == 0) {
            ch.loop_count = y;
            p.row = ch.loop_row - 1;
        } else if (--ch.loop_count > 0) {
            p.row = ch.loop_row - 1;
        }
        break;
    case 0x7:  // E7y tremolo waveform y & 3; y <= 3 also restarts it
        if (y <= 3)
            ch.tremolo.position = 0;
        p.tremolo_wave = y & 3;
        break;
    case 0x8:  // E8y set default pan: every later sample start on the channel too
        st.default_pan[c] = static_cast<uint8_t>(y);
        drv_set_pan(16 * y);
        break;
    case 0xA:  // EAy fine volume up by one; y is not used
        if (ch.volume <= 63)
            drv_set_volume(++ch.volume);
        break;
    case 0xB:  // EBy fine volume down by one; y is not used
        if (ch.volume >= 1)
            drv_set_volume(--ch.volume);
        break;
    case 0xE:  // EEy pattern delay: the row is held for y more rows
        ch.pattern_delay = y;
        break;
    default:
        break;  // E0y, E9y, ECy, EDy, EFy: nothing on the first tick
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
    case 0x0:  // 0xy arpeggio: the plain note on the first tick (000 is no effect)
        if (param != 0)
            drv_set_period(period_at(ch.finetune, ch.note));
        break;
    case 0x8:  // 8xx set pan, 0..255
        ch.pan = param;
        drv_set_pan(param);
        break;
    case 0x9:  // 9xx sample offset, xx * 256 bytes; also without a note
        drv_set_offset(static_cast<uint32_t>(param) * 256);
        break;
    case 0xB:  // Bxx position jump: the next row is the break row of entry xx
        p.order_pos = param - 1;
        p.row = ROWS_PER_PATTERN - 1;
        break;
    case 0xC:  // Cxx set volume, not limited to 64
        ch.volume = param;
        drv_set_volume(param);
        break;
    case 0xD: {
        // Dxy pattern break to row x * 10 + y of the next entry (two decimal
        // digits). A row past the pattern's end starts the entry at its top.
        const int32_t row = x * 10 + y;
        p.row = ROWS_PER_PATTERN - 1;
        p.break_row = row >= ROWS_PER_PATTERN ? 0 : row;
        break;
    }
    case 0xE:  // Exy extended commands
        extended(st, c, x, y);
        break;
    case 0xF:  // Fxx set speed (xx < 32, 0 freezes the row) or tempo (xx >= 32)
        if (param <= 31)
            p.speed = param;
        else
            p.tempo = param;
        break;
    default:
        break;  // 1..7 and A act on later ticks only
    }
}
