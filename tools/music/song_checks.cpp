#include "tools/music/song_checks.h"

#include <algorithm>
#include <cstdlib>

#include "app/scene_tables.h"
#include "core/music_pos.h"
#include "sound/mixer/mixer.h"
#include "sound/player/player_clock.h"
#include "tools/music/samples.h"

namespace {

bool starts_note(const ScoreCell& c)
{
    bool porta = c.cmd == 0x3 || c.cmd == 0x5;
    bool delayed = c.cmd == 0xE && (c.param >> 4) == 0xD;
    return c.note != NO_NOTE && !porta && !delayed;
}

constexpr long ROW_FRAMES = SPEED * TICK_FRAMES;

// One channel as level_bound follows it.
struct LevelVoice {
    int sample = 0, volume = 0;
    int level = 0;                        // volume last handed to the voice
    long start = 0;                       // frame of the last note start
    int low_period = 0, high_period = 0;  // since that start
};

struct RowLevel {
    int loudest = 0;         // the largest level the voice had in the row
    bool restarted = false;  // a retrigger started the sample again
};

// The ticks of one row on one channel, from output frame `frame` on.
RowLevel follow_row(LevelVoice& ch, const ScoreCell& cell, const ScoreSong& song, long frame)
{
    const int x = cell.param >> 4, y = cell.param & 15;
    RowLevel out;
    for (int tick = 0; tick < SPEED; ++tick) {
        if (tick == 0) {
            if (cell.sample) {
                ch.sample = cell.sample;
                ch.volume = song.samples[cell.sample - 1].volume;
                if (cell.cmd != 0xC)
                    ch.level = ch.volume;
            }
            if (starts_note(cell)) {
                ch.start = frame;
                ch.low_period = ch.high_period = note_period(cell.note);
            }
            if (cell.cmd == 0xC)
                ch.volume = ch.level = cell.param;
            if (cell.cmd == 0xE && x == 0xA && ch.volume <= 63)
                ch.level = ++ch.volume;
            if (cell.cmd == 0xE && x == 0xB && ch.volume >= 1)
                ch.level = --ch.volume;
        } else {
            if (cell.cmd == 0xA || cell.cmd == 0x5 || cell.cmd == 0x6) {
                ch.volume = std::clamp(x ? ch.volume + x : ch.volume - y, 0, 64);
                ch.level = ch.volume;
            }
            if (cell.cmd == 0xE && x == 0x9 && y && cell.note != NO_NOTE && tick % y == 0) {
                ch.level = ch.volume;
                out.restarted = true;
            }
            if (cell.cmd == 0xE && x == 0xC && tick == y)
                ch.level = 0;
            if (cell.cmd == 0x1)
                ch.low_period = std::max(PERIOD_MIN, ch.low_period - cell.param);
            if (cell.cmd == 0x2)
                ch.high_period = std::min(PERIOD_MAX, ch.high_period + cell.param);
        }
        out.loudest = std::max(out.loudest, ch.level);
    }
    return out;
}

// The largest |sample value| the voice can reach in the row that starts at
// output frame `frame`: anywhere in a loop, or after a retrigger; in a
// one-shot, the stretch its playback rate covers in the row.
int reachable_peak(const SampleDef& s, const LevelVoice& ch, long frame, bool restarted)
{
    long from = 0, to = long(s.data.size());
    if (!s.loop_length && !restarted) {
        // samples a frame: PERIOD_CLOCK / (period x SAMPLE_RATE), a little generously
        const double fast = playback_rate(ch.low_period) / SAMPLE_RATE;
        const double slow = playback_rate(ch.high_period) / SAMPLE_RATE;
        from = std::clamp(long((frame - ch.start) * slow) - 2, 0L, long(s.data.size()));
        to = std::clamp(long((frame + ROW_FRAMES - ch.start) * fast) + 3, 0L, long(s.data.size()));
    }
    int peak = 0;
    for (long i = from; i < to; ++i)
        peak = std::max(peak, std::abs(int(s.data[i])));
    return peak;
}

}  // namespace

std::vector<PlayRow> play_rows(const ScoreSong& song, int orders)
{
    std::vector<PlayRow> rows;
    for (int o = 0; o < orders && o < int(song.orders.size()); ++o)
        for (int r = 0; r < ROWS; ++r)
            rows.push_back({o, r, &song.patterns[song.orders[o]].rows[r]});
    return rows;
}

std::vector<KeyViolation> key_violations(const ScoreSong& song, unsigned pitch_classes)
{
    std::vector<KeyViolation> out;
    int sample[CHANNELS] = {};
    int note[CHANNELS];
    std::fill(std::begin(note), std::end(note), int(NO_NOTE));
    for (const PlayRow& pr : play_rows(song, int(song.orders.size()))) {
        for (int c = 0; c < CHANNELS; ++c) {
            const ScoreCell& cell = (*pr.cells)[c];
            if (cell.sample)
                sample[c] = cell.sample;
            if (cell.note != NO_NOTE)
                note[c] = cell.note;
            if (!sample[c] || note[c] == NO_NOTE)
                continue;
            const SampleDef& s = song.samples[sample[c] - 1];
            if (!s.pitched)
                continue;
            bool sounding = cell.note != NO_NOTE || (cell.cmd == 0 && cell.param);
            if (!sounding)
                continue;
            std::vector<int> steps{0};
            if (cell.cmd == 0 && cell.param) {
                steps.push_back(cell.param >> 4);
                steps.push_back(cell.param & 15);
            }
            for (int step : steps)
                for (int tone : s.chord) {
                    int pc = ((note[c] + step + tone) % 12 + 12) % 12;
                    if (!(pitch_classes >> pc & 1))
                        out.push_back({pr.order, pr.row, c, note[c] + step + tone});
                }
        }
    }
    return out;
}

int sample_peak(const SampleDef& s)
{
    int peak = 0;
    for (int8_t v : s.data)
        peak = std::max(peak, std::abs(int(v)));
    return peak;
}

// Follows every channel through the ticks of each row as our player drives
// it (sample default volume, C, slides, fine steps, cuts, retriggers) and
// adds the worst case of every voice: its loudest volume in the row times
// the largest sample value it can reach in that row. A looped sample can
// reach its whole data; a one-shot only the stretch that its playback rate
// covers since the note started (nothing once it has played out).
LevelBound level_bound(const ScoreSong& song, int orders)
{
    LevelVoice v[CHANNELS];
    LevelBound worst;
    long frame = 0;
    for (const PlayRow& pr : play_rows(song, orders)) {
        long first = 0, second = 0;
        for (int c = 0; c < CHANNELS; ++c) {
            LevelVoice& ch = v[c];
            const RowLevel level = follow_row(ch, (*pr.cells)[c], song, frame);
            if (!ch.sample || !ch.low_period)
                continue;
            const int peak = reachable_peak(song.samples[ch.sample - 1], ch, frame, level.restarted);
            const VoiceGains g = mixer_gains(level.loudest, CHANNEL_PAN[c], PT_MASTER_VOLUME);
            first += long(g.first) * peak;
            second += long(g.second) * peak;
        }
        if (std::max(first, second) > std::max(worst.first, worst.second)) {
            worst.order = pr.order;
            worst.row = pr.row;
        }
        worst.first = std::max(worst.first, first);
        worst.second = std::max(worst.second, second);
        frame += ROW_FRAMES;
    }
    return worst;
}

std::vector<HeldStep> held_arpeggio_steps(const ScoreSong& song)
{
    std::vector<HeldStep> out;
    int voice_volume[CHANNELS] = {};  // as last handed to the voice
    int volume[CHANNELS] = {};        // the channel's own volume
    int arpeggio[CHANNELS] = {};      // parameter of the previous row's arpeggio, 0 = none
    for (const PlayRow& pr : play_rows(song, int(song.orders.size()))) {
        for (int c = 0; c < CHANNELS; ++c) {
            const ScoreCell& cell = (*pr.cells)[c];
            int x = cell.param >> 4, y = cell.param & 15;
            if (arpeggio[c] && voice_volume[c] > 0) {
                // tick SPEED - 1 played step 0, x or y by its number mod 3
                int held = (SPEED - 1) % 3 == 0   ? 0
                           : (SPEED - 1) % 3 == 1 ? arpeggio[c] >> 4
                                                  : arpeggio[c] & 15;
                bool resets =
                    starts_note(cell) || (cell.cmd == 0 && cell.param) || (cell.cmd == 0xC && !cell.param);
                if (held && !resets)
                    out.push_back({pr.order, pr.row, c, held});
            }
            arpeggio[c] = cell.cmd == 0 ? cell.param : 0;
            // the volume the row leaves on the voice, tick by tick
            if (cell.sample) {
                volume[c] = song.samples[cell.sample - 1].volume;
                voice_volume[c] = volume[c];
            }
            if (cell.cmd == 0xC)
                voice_volume[c] = volume[c] = cell.param;
            if (cell.cmd == 0xE && x == 0xA && volume[c] <= 63)
                voice_volume[c] = ++volume[c];
            if (cell.cmd == 0xE && x == 0xB && volume[c] >= 1)
                voice_volume[c] = --volume[c];
            if (cell.cmd == 0xA || cell.cmd == 0x5 || cell.cmd == 0x6)
                for (int tick = 1; tick < SPEED; ++tick)
                    voice_volume[c] = volume[c] = std::clamp(x ? volume[c] + x : volume[c] - y, 0, 64);
            if (cell.cmd == 0xE && x == 0xC && y > 0 && y < SPEED)
                voice_volume[c] = 0;
        }
    }
    return out;
}

std::vector<NoteStart> note_starts(const ScoreSong& song, int pos)
{
    std::vector<NoteStart> out;
    int sample[CHANNELS] = {};
    int volume[CHANNELS] = {};
    for (const PlayRow& pr : play_rows(song, music_pos_order(pos) + 1)) {
        for (int c = 0; c < CHANNELS; ++c) {
            const ScoreCell& cell = (*pr.cells)[c];
            if (cell.sample) {
                sample[c] = cell.sample;
                volume[c] = song.samples[cell.sample - 1].volume;
            }
            if (cell.cmd == 0xC)
                volume[c] = cell.param;
            if (music_pos(pr.order, pr.row) == pos && starts_note(cell) && sample[c])
                out.push_back({c, sample[c], volume[c]});
        }
    }
    return out;
}

std::vector<int> show_cues()
{
    std::vector<int> cues;
    // The smoke is sent off again on its seed rows, all through its scene.
    for (int pos = SCENE_STARTS[1]; pos < SCENE_STARTS[2]; pos++)
        if (music_pos_row(pos) < ROWS_PER_PATTERN && music_pos_row(pos) % SMOKE_SEED_ROWS == 0)
            cues.push_back(pos);
    for (const PlateSpot& s : SMOKE_SPRITES)
        cues.push_back(s.from_pos);
    for (const PlateSpot& c : CREDIT_LINES)
        cues.push_back(c.from_pos);
    for (int pos : {CUE_TINT, CUE_MESH_BOUNCE, CUE_MESH_FALL, CUE_NOISE_FLASH, CUE_FINALE})
        cues.push_back(pos);
    return cues;
}

std::vector<int> missed_cues(const ScoreSong& song, const std::vector<int>& cues)
{
    std::vector<int> missed;
    for (int pos : cues) {
        int strongest = 0;
        for (const NoteStart& n : note_starts(song, pos))
            strongest = std::max(strongest, n.volume);
        if (strongest < CUE_NOTE_VOLUME)
            missed.push_back(pos);
    }
    return missed;
}
