// The song as the generator knows it: the text reader, the form the show
// needs, the key, the held arpeggio steps, the level proof, the cues, the
// samples and the bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "app/show_cues.h"
#include "tools/music/mod_writer.h"
#include "tools/music/pattern_text.h"
#include "tools/music/samples.h"
#include "tools/music/score.h"
#include "tools/music/song_checks.h"

namespace {

const ScoreSong& song()
{
    static const ScoreSong s = build_song();
    return s;
}

TEST(PatternText, ReadsTrackerCells)
{
    ScoreCell c = parse_cell("C#2 05 A10");
    EXPECT_EQ(c.note, 24 + 12 + 1);
    EXPECT_EQ(note_period(c.note), 404);
    EXPECT_EQ(c.sample, 5);
    EXPECT_EQ(c.cmd, 0xA);
    EXPECT_EQ(c.param, 0x10);
    EXPECT_EQ(parse_cell("C-1 01").note, 24);  // period 856
    EXPECT_EQ(note_period(parse_cell("B-3").note), 113);
    EXPECT_EQ(parse_cell("--- .. EC3").note, NO_NOTE);
    EXPECT_EQ(parse_cell("--- .. EC3").param, 0xC3);
    EXPECT_EQ(parse_cell("."), ScoreCell{});
    EXPECT_EQ(note_name(parse_cell("G#2").note), "G#2");
}

TEST(PatternText, RepeatsSeparatesAndTransposes)
{
    auto cells = parse_track("A-1 05 | . *3\n--- .. 442 *2\n", 3);
    ASSERT_EQ(cells.size(), 6u);
    EXPECT_EQ(note_name(cells[0].note), "C-2");
    EXPECT_EQ(cells[1], ScoreCell{});
    EXPECT_EQ(cells[5].cmd, 4);
    EXPECT_EQ(cells[5].param, 0x42);
}

TEST(PatternText, RefusesMalformedCells)
{
    for (const char* bad : {"H-2 01", "E#2", "C-9", "C-2 1", "C-2 32", "C-2 00", "C-2 01 G00", "C-2 01 C4",
                            "C-2 01 C40 x", "C-2 *0"})
        EXPECT_THROW(parse_track(bad), TextError) << bad;
    EXPECT_THROW(parse_track("C-5 01", 12), TextError);  // transposed past the table
}

TEST(SongForm, FourteenEntriesAtSpeedSixTempo125SetOnTheFirstRow)
{
    const ScoreSong& s = song();
    ASSERT_GE(s.orders.size(), 14u);
    std::set<std::pair<int, int>> speed_tempo;
    for (const PlayRow& pr : play_rows(s, int(s.orders.size()))) {
        for (int c = 0; c < CHANNELS; ++c) {
            const ScoreCell& cell = (*pr.cells)[c];
            if (cell.cmd == 0xF) {
                EXPECT_EQ(music_pos(pr.order, pr.row), 0) << "speed or tempo change later on";
                speed_tempo.insert({cell.cmd, cell.param});
            }
            // A row jump would break the one-row-every-5292-frames timeline.
            EXPECT_NE(cell.cmd, 0xB);
            EXPECT_NE(cell.cmd, 0xD);
            EXPECT_FALSE(cell.cmd == 0xE && (cell.param >> 4) == 0x6) << "pattern loop";
            EXPECT_FALSE(cell.cmd == 0xE && (cell.param >> 4) == 0xE) << "pattern delay";
            if (cell.note != NO_NOTE) {
                EXPECT_GE(cell.note, FIRST_NOTE);
                EXPECT_LE(cell.note, LAST_NOTE);
            }
            EXPECT_LE(cell.sample, s.samples.size());
        }
    }
    EXPECT_EQ(speed_tempo, (std::set<std::pair<int, int>>{{0xF, 6}, {0xF, 125}}));
}

// Effects where our player and the common trackers part ways are kept out
// of the song, so that a peer player hears the same piece.
TEST(SongForm, UsesOnlyEffectsEveryPlayerAgreesOn)
{
    const ScoreSong& s = song();
    for (const PlayRow& pr : play_rows(s, int(s.orders.size()))) {
        for (int c = 0; c < CHANNELS; ++c) {
            const ScoreCell& cell = (*pr.cells)[c];
            int x = cell.param >> 4, y = cell.param & 15;
            std::string at =
                std::to_string(pr.order) + "/" + std::to_string(pr.row) + " ch" + std::to_string(c);
            if (cell.cmd == 0xC) {
                EXPECT_LE(cell.param, 64) << at;
            }
            if (cell.cmd == 0x9 || (cell.cmd == 0xE && x == 0x9)) {
                EXPECT_NE(cell.note, NO_NOTE) << at;  // ours ignores a retrigger without one
            }
            if (cell.cmd == 0xE && (x == 0xC || x == 0xD)) {
                EXPECT_TRUE(y > 0 && y < 6) << at;  // ours acts on 0 and on y >= speed differently
            }
            if (cell.cmd == 0xE && (x == 0x1 || x == 0x2 || x == 0xA || x == 0xB)) {
                EXPECT_EQ(y, 1) << at;  // ours always steps by one
            }
            if (cell.cmd == 0x3 || cell.cmd == 0x5) {
                EXPECT_EQ(cell.sample, 0) << at;
            }
            EXPECT_NE(cell.cmd, 0x7) << at;
            EXPECT_NE(cell.cmd, 0x8) << at;
            EXPECT_FALSE(cell.cmd == 0xE && x == 0x8) << at;
        }
    }
}

// Slides, vibrato and arpeggios re-send the period on every tick; a one-shot
// sample under them would be restarted by a mixer that wakes finished
// voices, so they only ever act on looped samples or within a one-shot's
// length.
TEST(SongForm, PeriodEffectsOnlyOnLoopedSamplesOrTheImpactFall)
{
    const ScoreSong& s = song();
    int sample[CHANNELS] = {};
    for (const PlayRow& pr : play_rows(s, int(s.orders.size()))) {
        for (int c = 0; c < CHANNELS; ++c) {
            const ScoreCell& cell = (*pr.cells)[c];
            if (cell.sample)
                sample[c] = cell.sample;
            bool period_effect = (cell.cmd == 0 && cell.param) || (cell.cmd >= 1 && cell.cmd <= 6);
            if (!period_effect || !sample[c])
                continue;
            const SampleDef& sd = s.samples[sample[c] - 1];
            if (sample[c] == IMPACT)
                continue;  // the fall: checked for length below
            EXPECT_GT(sd.loop_length, 0u) << pr.order << "/" << pr.row << " ch" << c << " " << sd.name;
        }
    }
    // The impact bent down for twelve rows still has sound left at the end.
    const SampleDef& impact = s.samples[IMPACT - 1];
    double samples_needed = 12 * SPEED * TICK_FRAMES * playback_rate(214) / SAMPLE_RATE;
    EXPECT_LT(samples_needed, impact.data.size());
}

TEST(Key, EveryMelodicNoteIsInAMinor)
{
    auto wrong = key_violations(song(), A_MINOR);
    for (const auto& v : wrong)
        ADD_FAILURE() << "order " << v.order << " row " << v.row << " channel " << v.channel << ": "
                      << note_name(v.note);
}

TEST(Key, CatchesANoteOutsideTheKey)
{
    ScoreSong s = song();
    ScoreCell& c = s.patterns[s.orders[10]].rows[0][5];
    ASSERT_NE(c.note, NO_NOTE);
    c.note = 24 + 12 + 6;  // F#
    auto wrong = key_violations(s, A_MINOR);
    ASSERT_EQ(wrong.size(), 1u);
    EXPECT_EQ(wrong[0].order, 10);
    // chord samples and arpeggios count every tone they sound
    s = song();
    ScoreCell& pad = s.patterns[s.orders[3]].rows[0][0];
    ASSERT_EQ(pad.sample, PAD_MINOR);
    pad.sample = PAD_MAJOR;  // A major: C# is not in the key
    EXPECT_FALSE(key_violations(s, A_MINOR).empty());
}

// One looped voice on channel 1, its rows written as pattern text.
ScoreSong one_voice(const char* text)
{
    ScoreSong s;
    SampleDef tone;
    tone.data.assign(64, 40);
    tone.volume = 32;
    tone.loop_length = 62;
    tone.pitched = true;
    s.samples.push_back(tone);
    Pattern p;
    auto cells = parse_track(text);
    for (size_t r = 0; r < cells.size(); ++r)
        p.rows[r][1] = cells[r];
    s.patterns.push_back(p);
    s.orders.push_back(0);
    return s;
}

TEST(HeldArpeggio, RefusedWhereTheVoiceWouldKeepAStep)
{
    struct Case {
        const char* text;
        int row;  // of the one refusal, -1 for none
    };
    const Case cases[] = {
        {"A-2 01 037 | .", 1},                   // empty row: ours holds the fifth
        {"A-2 01 037 | --- .. 037 | .", 2},      // the run's end counts, not its rows
        {"A-2 01 037 | --- .. A01", 1},          // a fade alone still holds it
        {"A-2 01 037 | --- 01", 1},              // so does a sample without a note
        {"A-2 01 037 | C-3 .. 301", 1},          // and a glide, on its first tick
        {"A-2 01 037 | C-3 01", -1},             // a new note
        {"A-2 01 037 | --- .. C00", -1},         // silenced on the first tick
        {"A-2 01 037 | --- .. 040 | . *4", -1},  // the last tick plays the note
        {"A-2 01 C00 | --- .. 037 | .", -1},     // the voice is silent anyway
        {"A-2 01 EC2 | --- .. 037 | .", -1},     // ... after a cut
    };
    for (const Case& c : cases) {
        auto held = held_arpeggio_steps(one_voice(c.text));
        if (c.row < 0) {
            EXPECT_TRUE(held.empty()) << c.text;
            continue;
        }
        ASSERT_EQ(held.size(), 1u) << c.text;
        EXPECT_EQ(held[0].row, c.row) << c.text;
        EXPECT_EQ(held[0].channel, 1) << c.text;
        EXPECT_EQ(held[0].semitones, 7) << c.text;
    }
    // the soundtrack itself holds none
    for (const HeldStep& h : held_arpeggio_steps(song()))
        ADD_FAILURE() << "order " << h.order << " row " << h.row << " channel " << h.channel;
}

TEST(Level, NoMixOfTheVoicesCanWrap)
{
    LevelBound b = level_bound(song(), 14);
    EXPECT_LE(b.first, 32767) << "order " << b.order << " row " << b.row;
    EXPECT_LE(b.second, 32767) << "order " << b.order << " row " << b.row;
    // and the proof is not bought with a timid mix
    EXPECT_GE(std::max(b.first, b.second), 26000);
}

TEST(Level, BoundRisesWithAVolume)
{
    ScoreSong s = song();
    long before = level_bound(s, 14).second;
    // the finale's bass at full volume must push the bound up
    ScoreCell& bass = s.patterns[s.orders[13]].rows[40][7];
    ASSERT_EQ(bass.cmd, 0xC);
    bass.param = 64;
    EXPECT_GT(level_bound(s, 14).second, before);
}

// The generator refuses a song that misses a cue; a cue moved off its note
// is caught.
TEST(Cues, EveryCueRowStartsAStrongNote)
{
    EXPECT_EQ(missed_cues(song(), show_cues()), std::vector<int>{});
    EXPECT_EQ(missed_cues(song(), {CUE_TINT + 1, CUE_FINALE}), std::vector<int>{CUE_TINT + 1});
}

TEST(Samples, LoopsAreSeamlessAndOneShotsStartSilent)
{
    for (const SampleDef& s : song().samples) {
        EXPECT_EQ(s.data.size() % 2, 0u) << s.name;
        EXPECT_LE(s.data.size(), 131070u) << s.name;
        EXPECT_GE(sample_peak(s), 90) << s.name;
        if (s.loop_length) {
            size_t end = s.loop_start + s.loop_length;
            ASSERT_EQ(end + 2, s.data.size()) << s.name;
            EXPECT_EQ(s.data[end], s.data[s.loop_start]) << s.name;
            EXPECT_EQ(s.data[end + 1], s.data[s.loop_start + 1]) << s.name;
        } else {
            EXPECT_EQ(s.data.front(), 0) << s.name;
            EXPECT_EQ(s.data.back(), 0) << s.name;
        }
    }
}

// A loop that plays C at C-2 repeats every 31.675 samples (8287 Hz / 261.63 Hz).
// Measure the lead's fundamental by counting rising zero crossings of its
// first partial: project the loop onto a sine of n cycles for n near 400.
TEST(Samples, PitchedLoopsAreTunedToC)
{
    auto cycles_of = [](const SampleDef& s, int lo, int hi) {
        int best = 0;
        double best_power = -1;
        const double len = s.loop_length;
        for (int n = lo; n <= hi; ++n) {
            double re = 0, im = 0;
            for (size_t i = 0; i < s.loop_length; ++i) {
                double ph = 2 * M_PI * n * double(i) / len;
                re += s.data[i] * std::cos(ph);
                im += s.data[i] * std::sin(ph);
            }
            if (re * re + im * im > best_power)
                best_power = re * re + im * im, best = n;
        }
        return best * playback_rate(428) / len;
    };
    auto cents = [](double f, double ref) { return 1200 * std::log2(f / ref); };
    const auto& s = song().samples;
    EXPECT_NEAR(cents(cycles_of(s[LEAD - 1], 390, 410), 261.626), 0, 5);
    EXPECT_NEAR(cents(cycles_of(s[BASS - 1], 15, 25), 65.406), 0, 5);
    EXPECT_NEAR(cents(cycles_of(s[CHIP - 1], 75, 85), 261.626), 0, 5);
}

TEST(File, HeaderAndCellsReadBack)
{
    const ScoreSong& s = song();
    auto bytes = mod_bytes(s);
    ASSERT_GT(bytes.size(), 1084u);
    EXPECT_LT(bytes.size(), 1000000u);
    EXPECT_EQ(std::string(bytes.begin() + 1080, bytes.begin() + 1084), "8CHN");
    EXPECT_EQ(bytes[950], s.orders.size());
    EXPECT_EQ(bytes[951], 0);
    for (size_t i = 0; i < s.orders.size(); ++i)
        EXPECT_EQ(bytes[952 + i], s.orders[i]);
    size_t patterns = *std::max_element(bytes.begin() + 952, bytes.begin() + 1080) + 1u;
    size_t data = 1084 + patterns * 8 * 256, total = 0;
    for (int i = 0; i < 31; ++i) {
        const uint8_t* h = bytes.data() + 20 + 30 * i;
        size_t len = 2u * (h[22] << 8 | h[23]);
        if (i < int(s.samples.size())) {
            const SampleDef& sd = s.samples[i];
            EXPECT_EQ(len, sd.data.size());
            EXPECT_EQ(h[25], sd.volume);
            EXPECT_EQ(2u * (h[26] << 8 | h[27]), sd.loop_start);
            EXPECT_EQ(2u * (h[28] << 8 | h[29]), sd.loop_length ? sd.loop_length : 2u);
            EXPECT_TRUE(std::equal(sd.data.begin(), sd.data.end(),
                                   reinterpret_cast<const int8_t*>(bytes.data() + data + total)));
        } else {
            EXPECT_EQ(len, 0u);
        }
        total += len;
    }
    EXPECT_EQ(data + total, bytes.size());
    // order 0, row 0, channel 4: the tempo; channel 6: the speed
    const uint8_t* cell = bytes.data() + 1084 + 4 * 4;
    EXPECT_EQ(cell[2] & 0x0F, 0xF);
    EXPECT_EQ(cell[3], 125);
    // a note cell: period and both nibbles of the sample number
    const ScoreCell& first_pad = s.patterns[0].rows[0][0];
    cell = bytes.data() + 1084;
    EXPECT_EQ(((cell[0] & 0x0F) << 8) | cell[1], note_period(first_pad.note));
    EXPECT_EQ((cell[0] & 0xF0) | (cell[2] >> 4), first_pad.sample);
}

TEST(File, TwoRunsGiveTheSameBytes) { EXPECT_EQ(mod_bytes(build_song()), mod_bytes(build_song())); }

}  // namespace
