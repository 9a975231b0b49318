// The tick engine against a recording driver: sequencing, the first-tick
// and later-tick rules, and the clamps.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/rand.h"
#include "sound/mixer/mixer.h"
#include "sound/mixer/sound_driver.h"
#include "sound/player/loader.h"
#include "sound/player/player_state.h"
#include "sound/player/tables.h"
#include "sound/player/tick.h"
#include "tests/player/test_module.h"

using Calls = std::vector<std::string>;

namespace {

// The calls made for channel c: from "sel c" up to the next select.
Calls for_channel(const Calls& all, int32_t c)
{
    Calls out;
    bool in = false;
    for (const std::string& s : all) {
        if (s.rfind("sel ", 0) == 0) {
            in = s == "sel " + std::to_string(c);
            continue;
        }
        if (in)
            out.push_back(s);
    }
    return out;
}

// The values of one kind of call ("per", "vol", ...) for channel c.
std::vector<int32_t> values(const Calls& all, const std::string& op, int32_t c = 0)
{
    std::vector<int32_t> out;
    for (const std::string& s : for_channel(all, c))
        if (s.rfind(op + " ", 0) == 0)
            out.push_back(std::atoi(s.c_str() + op.size() + 1));
    return out;
}

class Engine : public ::testing::Test {
protected:
    void SetUp() override
    {
        fresh_player();
        b.sample(1, 100, 48).sample(2, 100, 20, 3).sample(3, 100, 40);
    }
    // Builds and loads b, keeping the image alive for the test.
    void start()
    {
        image = b.build();
        ASSERT_EQ(load(image), 1);
        take_calls();
    }
    // (order, row, tick) of the row in force after each of n ticks.
    std::vector<std::array<int32_t, 3>> positions(int32_t n)
    {
        std::vector<std::array<int32_t, 3>> out;
        for (int32_t i = 0; i < n; ++i) {
            pt_tick();
            const Playback& p = pt_state().play;
            out.push_back({p.playing_order, p.playing_row, p.tick});
        }
        take_calls();
        return out;
    }
    // Order and row at which each new row starts over n ticks.
    std::vector<std::pair<int32_t, int32_t>> rows(int32_t n)
    {
        std::vector<std::pair<int32_t, int32_t>> out;
        for (auto [o, r, t] : positions(n))
            if (t == 0)
                out.push_back({o, r});
        return out;
    }
    const ChannelState& ch(int32_t c = 0) { return pt_state().channels[c]; }

    ModBuilder b;
    std::vector<uint8_t> image;
};

using Pos = std::pair<int32_t, int32_t>;

TEST_F(Engine, FirstTickStartsRowZeroWithTheDocumentedCalls)
{
    b.note(0, 0, 0, 3, 36).note(0, 0, 1, 3, 36, 9, 4);
    start();
    EXPECT_EQ(ticks(1), (Calls{"sel 0", "vol 40", "pan 64", "smp 3", "per 428", "off 0",      //
                               "sel 1", "vol 40", "pan 192", "smp 3", "per 428", "off 1024",  //
                               "sel 2", "sel 3"}));
    const Playback& p = pt_state().play;
    EXPECT_EQ(p.order_pos, 0);
    EXPECT_EQ(p.row, 0);
    EXPECT_EQ(p.tick, 0);
    EXPECT_EQ(ch(0).note, 36);
    EXPECT_EQ(ch(0).period, 428);
    EXPECT_EQ(ch(0).volume, 40);
    EXPECT_EQ(ch(0).sample, 3);
    EXPECT_EQ(ch(1).pan, 192);
    // The second call is tick 1 of the same row: only the selects.
    EXPECT_EQ(ticks(1), (Calls{"sel 0", "sel 1", "sel 2", "sel 3"}));
    EXPECT_EQ(pt_state().play.tick, 1);
}

TEST_F(Engine, WithNoBackEndInstalledTheNullOneHearsIt)
{
    b.note(0, 0, 0, 1, 36).fx(0, 1, 0, 4, 0x48);
    start();
    sound_driver_reset();  // the start-of-program table: the mixer, no device
    for (int32_t i = 0; i < 64 * 6; ++i)
        pt_tick();
    EXPECT_EQ(ch(0).period, 428);
    EXPECT_EQ(mixer_view().pending[0].sample, 1);
}

TEST_F(Engine, SpeedSetsTicksPerRow)
{
    b.fx(0, 2, 0, 0xF, 3).song({0, 0});
    start();
    // Rows start on calls 1, 7, 13, then every 3 ticks from row 2 on.
    auto pos = positions(19);
    std::vector<int32_t> starts;
    for (int32_t i = 0; i < 19; ++i)
        if (pos[i][2] == 0)
            starts.push_back(i + 1);
    EXPECT_EQ(starts, (std::vector<int32_t>{1, 7, 13, 16, 19}));
}

TEST_F(Engine, SpeedAndTempoCommands)
{
    b.fx(0, 0, 0, 0xF, 0x1F).fx(0, 0, 1, 0xF, 0x20);
    start();
    ticks(1);
    EXPECT_EQ(pt_state().play.speed, 31);
    EXPECT_EQ(pt_state().play.tempo, 32);
}

TEST_F(Engine, SpeedZeroFreezesTheRowAndRestartsItsNotes)
{
    b.note(0, 1, 0, 1, 36, 0xF, 0).fx(0, 1, 1, 0xC, 10);
    start();
    ticks(6);
    for (int32_t i = 0; i < 5; ++i) {
        const Calls got = ticks(1);
        EXPECT_EQ(for_channel(got, 0), (Calls{"vol 48", "pan 64", "smp 1", "per 428", "off 0"}));
        EXPECT_EQ(for_channel(got, 1), (Calls{"vol 10"}));
        EXPECT_EQ(pt_state().play.row, 1);
        EXPECT_EQ(pt_state().play.tick, 0);
    }
}

TEST_F(Engine, JumpAndBreakOnOneRow)
{
    b.fx(0, 3, 0, 0xB, 2).fx(0, 3, 1, 0xD, 0x16).song({0, 1, 2, 3});
    start();
    auto r = rows(6 * 6);
    EXPECT_EQ(r[3], Pos(0, 3));
    EXPECT_EQ(r[4], Pos(2, 16));
    // From the tick of the jump on, the song position reads its target.
    fresh_player();
    start();
    for (int32_t i = 0; i < 19; ++i)
        pt_tick();
    EXPECT_EQ(pt_state().play.order_pos, 1);
    EXPECT_EQ(pt_state().play.row, 63);
    EXPECT_EQ(r[5], Pos(2, 17));
}

TEST_F(Engine, JumpPastTheSongEndGoesToTheRestartPosition)
{
    b.fx(0, 0, 0, 0xB, 9).song({0, 1, 2}, 3, 1);
    start();
    auto r = rows(2 * 6);
    EXPECT_EQ(r[1], Pos(1, 0));
}

TEST_F(Engine, BreakRowReadsDecimalDigits)
{
    b.fx(0, 0, 0, 0xD, 0x32).song({0, 1});
    start();
    EXPECT_EQ(rows(12)[1], Pos(1, 32));
}

TEST_F(Engine, BreakRowPastThePatternStartsTheNextEntryAtTheTop)
{
    for (int32_t param : {0x64, 0x70, 0x99, 0xFF}) {
        fresh_player();
        b.patterns.clear();
        b.fx(0, 0, 0, 0xD, param).song({0, 1});
        start();
        EXPECT_EQ(rows(12)[1], Pos(1, 0)) << param;
    }
    fresh_player();
    b.patterns.clear();
    b.fx(0, 0, 0, 0xD, 0x1F).song({0, 1});  // digits above 9 still within the pattern
    start();
    EXPECT_EQ(rows(12)[1], Pos(1, 25));
}

TEST_F(Engine, SongWrapsToTheRestartPosition)
{
    b.song({0, 1, 2}, 3, 1).fx(0, 0, 0, 0xF, 1);
    start();
    auto r = rows(64 * 3 + 2);
    EXPECT_EQ(r[64 * 3], Pos(1, 0));
    EXPECT_EQ(r[64 * 3 + 1], Pos(1, 1));
}

TEST_F(Engine, PatternLoopPlaysFourTimesAndRearms)
{
    b.fx(0, 0, 0, 0xF, 1).fx(0, 8, 0, 0xE, 0x60).fx(0, 15, 0, 0xE, 0x63).song({0, 0});
    start();
    auto r = rows(64 + 24 + 64 + 24);
    std::vector<int32_t> seq;
    for (auto [o, row] : r)
        seq.push_back(row);
    std::vector<int32_t> want;
    for (int32_t i = 0; i < 8; ++i)
        want.push_back(i);
    for (int32_t pass = 0; pass < 4; ++pass)
        for (int32_t i = 8; i <= 15; ++i)
            want.push_back(i);
    for (int32_t i = 16; i < 64; ++i)
        want.push_back(i);
    // The second entry plays the same pattern: it loops again.
    for (int32_t i = 0; i < 8; ++i)
        want.push_back(i);
    for (int32_t pass = 0; pass < 4; ++pass)
        for (int32_t i = 8; i <= 15; ++i)
            want.push_back(i);
    seq.resize(want.size());
    EXPECT_EQ(seq, want);
    EXPECT_EQ(ch(0).loop_count, 0);
}

TEST_F(Engine, PatternDelayHoldsTheRowForTheLongestDelay)
{
    b.fx(0, 1, 0, 0xE, 0xE2).fx(0, 1, 1, 0xE, 0xE1).fx(0, 1, 2, 0xA, 0x01);
    b.note(0, 0, 2, 1, 36);
    start();
    ticks(6);  // row 0
    std::vector<size_t> counts;
    int32_t row1_ticks = 0;
    for (int32_t i = 0; i < 19; ++i) {
        const Calls got = ticks(1);
        if (pt_state().play.row == 1)
            ++row1_ticks;
        counts.push_back(got.size());
    }
    EXPECT_EQ(row1_ticks, 18);
    EXPECT_EQ(counts[6], 0u) << "held row's first tick processes nothing";
    EXPECT_EQ(counts[12], 0u);
    EXPECT_EQ(pt_state().play.row, 2);
    EXPECT_EQ(ch(2).volume, 48 - 15) << "the volume slide ran on all 15 later ticks";
}

TEST_F(Engine, NoteDelayZeroNeverStartsAndCutZeroNeverCuts)
{
    b.note(0, 0, 0, 1, 36, 0xE, 0xD0).note(0, 0, 1, 1, 36, 0xE, 0xC0);
    start();
    const Calls got = ticks(6);
    EXPECT_EQ(for_channel(got, 0), (Calls{"vol 48", "pan 64", "smp 1"}));
    EXPECT_TRUE(values(got, "vol", 1) == std::vector<int32_t>{48});
}

TEST_F(Engine, NoteDelayAndCutActOnTheirTick)
{
    b.note(0, 0, 0, 1, 36, 0xE, 0xD2).note(0, 0, 1, 1, 36, 0xE, 0xC3).note(0, 0, 2, 1, 36, 0xE, 0xD9);
    start();
    Calls t[6];
    for (auto& c : t)
        c = ticks(1);
    EXPECT_TRUE(values(t[1], "per").empty());
    EXPECT_EQ(for_channel(t[2], 0), (Calls{"vol 48", "per 428", "off 0"}));
    EXPECT_EQ(for_channel(t[3], 1), (Calls{"vol 0"}));
    EXPECT_EQ(ch(1).volume, 48) << "cut leaves the channel volume";
    // A delay past the row's length starts the note on its last tick.
    EXPECT_EQ(for_channel(t[5], 2), (Calls{"vol 48", "per 428", "off 0"}));
    EXPECT_EQ(ch(2).note, 36);
}

TEST_F(Engine, RetriggerNeedsANoteInTheCell)
{
    b.note(0, 0, 0, 1, 36, 0xE, 0x93).fx(0, 0, 1, 0xE, 0x93);
    b.note(0, 0, 1, 1, 24);
    b.fx(0, 1, 1, 0xE, 0x93);
    start();
    Calls t[12];
    for (auto& c : t)
        c = ticks(1);
    EXPECT_EQ(for_channel(t[0], 0), (Calls{"vol 48", "pan 64", "smp 1", "per 428", "off 0"}));
    for (int32_t i : {1, 2, 4, 5})
        EXPECT_TRUE(for_channel(t[i], 0).empty()) << i;
    EXPECT_EQ(for_channel(t[3], 0), (Calls{"vol 48", "per 428", "off 0"}));
    for (int32_t i = 6; i < 12; ++i)
        EXPECT_TRUE(for_channel(t[i], 1).empty()) << i;
}

TEST_F(Engine, SetVolumeAboveSixtyFourAndFineVolume)
{
    b.note(0, 0, 0, 1, 36, 0xC, 0x80)
        .fx(0, 1, 0, 0xE, 0xA1)
        .fx(0, 2, 0, 0xE, 0xB1)
        .fx(0, 3, 0, 0x7, 0x4F)
        .fx(0, 4, 0, 0xA, 0x01);
    start();
    const Calls row0 = ticks(1);
    EXPECT_EQ(for_channel(row0, 0), (Calls{"pan 64", "smp 1", "per 428", "off 0", "vol 128"}));
    ticks(5);
    EXPECT_TRUE(values(ticks(6), "vol").empty()) << "EA at 128 does nothing";
    EXPECT_EQ(values(ticks(6), "vol"), std::vector<int32_t>{127});
    for (int32_t v : values(ticks(6), "vol"))
        EXPECT_LE(v, 64);
    EXPECT_EQ(ch(0).volume, 127) << "tremolo leaves the channel volume";
    // A brings it back into 0..64 on its first later tick.
    EXPECT_EQ(values(ticks(6), "vol"), (std::vector<int32_t>{64, 63, 62, 61, 60}));
}

TEST_F(Engine, VolumeSlides)
{
    for (auto [param, want] : {std::pair{0x10, 53}, {0x01, 43}, {0x11, 53}, {0x00, 48}, {0xF0, 64}}) {
        fresh_player();
        b.patterns.clear();
        b.note(0, 0, 0, 1, 36, 0xA, param);
        start();
        const Calls got = ticks(6);
        EXPECT_EQ(values(got, "vol").size(), 6u) << param;
        EXPECT_EQ(ch(0).volume, want) << param;
    }
}

TEST_F(Engine, TonePortamentoSlidesOntoTheTarget)
{
    b.note(0, 0, 0, 1, 36).note(0, 1, 0, 0, 35, 3, 8).note(0, 2, 0, 1, 24, 3, 0);
    start();
    ticks(6);
    const Calls row1 = ticks(6);
    EXPECT_EQ(values(row1, "per"), (std::vector<int32_t>{436, 444, 452, 453, 453}));
    EXPECT_TRUE(values(row1, "off").empty()) << "the voice is not restarted";
    EXPECT_EQ(ch(0).note, 36) << "nor is the channel's note changed";
    EXPECT_EQ(ch(0).porta_target, 453);
    // 3 with 00 keeps the speed; a sample number switches the sample but runs on.
    const Calls row2 = ticks(2);
    EXPECT_EQ(for_channel(row2, 0)[2], "smp 1");
    EXPECT_TRUE(values(row2, "off").empty());
    EXPECT_EQ(values(row2, "per"), std::vector<int32_t>{461});
}

TEST_F(Engine, GlissandoSoundsInNoteSteps)
{
    b.note(0, 0, 0, 1, 25, 0xE, 0x31).note(0, 1, 0, 0, 24, 3, 22);
    start();
    ticks(6);
    EXPECT_EQ(values(ticks(3), "per"), (std::vector<int32_t>{856, 856}));
    EXPECT_EQ(ch(0).period, 852) << "the channel's period slides smoothly";
}

TEST_F(Engine, TonePortamentoWithVolumeSlideIgnoresGlissando)
{
    b.note(0, 0, 0, 1, 25, 0xE, 0x31).note(0, 1, 0, 0, 24, 3, 22).note(0, 2, 0, 0, 84, 5, 0x01);
    start();
    ticks(12);
    const Calls row2 = ticks(2);
    EXPECT_EQ(values(row2, "per"), std::vector<int32_t>{856});  // 852 + 22, capped at the target
    EXPECT_EQ(values(row2, "vol"), std::vector<int32_t>{47});
}

TEST_F(Engine, VibratoPlaysAroundTheChannelPeriod)
{
    b.note(0, 0, 0, 1, 36, 4, 0x8F);
    start();
    const Calls got = ticks(6);
    std::vector<int32_t> want = {428};
    for (int32_t pos = 0; pos < 40; pos += 8)
        want.push_back(428 + 15 * SineWave[pos] / 127);
    EXPECT_EQ(values(got, "per"), want);
    EXPECT_EQ(ch(0).period, 428);
    EXPECT_EQ(ch(0).vibrato.position, 40);
}

TEST_F(Engine, WaveformSelectionAndPositionReset)
{
    b.note(0, 0, 0, 1, 36, 4, 0x8F).note(0, 1, 0, 1, 36, 4, 0x8F).fx(0, 2, 0, 0xE, 0x41);
    b.fx(0, 3, 0, 4, 0x8F);
    start();
    ticks(12);
    EXPECT_EQ(ch(0).vibrato.position, (2 * 5 * 8) & 63) << "a new note does not reset it";
    ticks(6);
    EXPECT_EQ(ch(0).vibrato.position, 0);
    EXPECT_EQ(pt_state().play.vibrato_wave, 1);
    std::vector<int32_t> want;
    for (int32_t pos = 0; pos < 40; pos += 8)
        want.push_back(428 + 15 * (255 - 8 * pos) / 127);
    EXPECT_EQ(values(ticks(6), "per"), want);
}

TEST_F(Engine, RandomWaveformComesFromRand)
{
    core_srand(1234);
    int32_t want[64];
    for (int32_t& w : want)
        w = core_rand() % 511 - 256;
    core_srand(1234);
    start();
    for (int32_t i = 0; i < 64; ++i) {
        EXPECT_EQ(pt_state().random_wave[i], want[i]);
        EXPECT_EQ(pt_state().ramp_wave[i], 255 - 8 * i);
    }
}

TEST_F(Engine, TremoloStaysInRange)
{
    b.note(0, 0, 0, 1, 36, 7, 0x8F).fx(0, 1, 0, 0xE, 0x72).fx(0, 2, 0, 7, 0x00);
    start();
    for (int32_t v : values(ticks(18), "vol")) {
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 64);
    }
    EXPECT_EQ(ch(0).volume, 48);
    EXPECT_EQ(ch(0).tremolo.depth, 30);
}

TEST_F(Engine, ArpeggioCyclesThroughThreeNotes)
{
    b.note(0, 0, 0, 1, 24, 0, 0x47);
    start();
    EXPECT_EQ(values(ticks(6), "per"), (std::vector<int32_t>{856, 856, 678, 570, 856, 678, 570}));
    EXPECT_EQ(ch(0).period, 856);
}

TEST_F(Engine, ArpeggioPastTheLastColumnStaysInTheTable)
{
    // Sample 4 has finetune 15; note 83 + 15 lies past the end of the table.
    b.sample(4, 10, 64, 15).note(0, 0, 0, 4, 0, 0, 0xFF);
    b.cell(0, 0, 0, 4, 28, 0, 0xFF);
    start();
    const std::vector<int32_t> got = values(ticks(6), "per");
    ASSERT_EQ(got.size(), 7u);
    EXPECT_EQ(got[2], PeriodTable[15][84]);
}

TEST_F(Engine, SlidesClampToTheTableLimits)
{
    b.note(0, 0, 0, 1, 60, 1, 0xFF).note(0, 1, 0, 1, 0, 2, 0xFF);
    start();
    EXPECT_EQ(values(ticks(6), "per"), (std::vector<int32_t>{107, 27, 27, 27, 27, 27}));
    EXPECT_EQ(values(ticks(6), "per"), (std::vector<int32_t>{3424, 3628, 3628, 3628, 3628, 3628}));
}

TEST_F(Engine, FineSlidesStopAtTheLimits)
{
    // Speed 2, so each row has one later tick. Reach 28 and 3628 with
    // slides, then fine-slide past the limits.
    b.note(0, 0, 0, 1, 82, 1, 2).fx(0, 0, 1, 0xF, 2);  // 30 -> 28
    b.fx(0, 1, 0, 0xE, 0x1F).fx(0, 2, 0, 0xE, 0x11);
    b.note(0, 3, 0, 1, 0, 2, 0xCC).fx(0, 4, 0, 0xE, 0x2F);
    start();
    ticks(2);
    EXPECT_EQ(ch(0).period, 28);
    EXPECT_EQ(values(ticks(1), "per"), std::vector<int32_t>{27});
    ticks(1);
    EXPECT_TRUE(values(ticks(1), "per").empty()) << "E1 at 27 does nothing";
    ticks(1);
    ticks(2);
    EXPECT_EQ(ch(0).period, 3628);
    EXPECT_TRUE(values(ticks(1), "per").empty()) << "E2 at 3628 does nothing";
}

TEST_F(Engine, SetPanAndDefaultPan)
{
    b.note(0, 0, 2, 1, 36, 0xE, 0x8F).note(0, 1, 2, 1, 36).note(0, 2, 1, 1, 36, 8, 0x33);
    start();
    EXPECT_EQ(for_channel(ticks(6), 2), (Calls{"vol 48", "pan 80", "smp 1", "per 428", "off 0", "pan 240"}));
    EXPECT_EQ(ch(2).pan, 80) << "E8 leaves the channel's pan field";
    EXPECT_EQ(values(ticks(6), "pan", 2), std::vector<int32_t>{240});
    EXPECT_EQ(pt_state().default_pan[2], 15);
    EXPECT_EQ(for_channel(ticks(1), 1), (Calls{"vol 48", "smp 1", "per 428", "off 0", "pan 51"}));
    EXPECT_EQ(ch(1).pan, 0x33);
    // The default pans survive a reload.
    std::vector<uint8_t> again = ModBuilder().note(0, 0, 2, 1, 36).sample(1, 4).build();
    ASSERT_EQ(load(again), 1);
    EXPECT_EQ(values(ticks(1), "pan", 2), std::vector<int32_t>{240});
}

TEST_F(Engine, SampleWithoutNoteSwitchesWithoutRestarting)
{
    b.note(0, 0, 0, 1, 36).cell(0, 1, 0, 2, 0);
    start();
    ticks(6);
    EXPECT_EQ(for_channel(ticks(1), 0), (Calls{"vol 20", "pan 64", "smp 2"}));
    EXPECT_EQ(ch(0).finetune, 0) << "finetune comes with the next note";
}

TEST_F(Engine, NoteTakesItsSamplesFinetune)
{
    b.note(0, 0, 0, 2, 36).note(0, 1, 0, 0, 36).note(0, 2, 0, 0, 36, 0xE, 0x55).note(0, 3, 0, 0, 24, 0, 0x10);
    start();
    EXPECT_EQ(values(ticks(6), "per"), std::vector<int32_t>{PeriodTable[3][36]});
    EXPECT_EQ(values(ticks(6), "per"), std::vector<int32_t>{PeriodTable[3][36]});
    EXPECT_EQ(values(ticks(6), "per"), std::vector<int32_t>{PeriodTable[3][36]});
    EXPECT_EQ(ch(0).finetune, 5);
    // The note is looked up with the sample's finetune again; E5 lasted only until then.
    EXPECT_EQ(values(ticks(2), "per"),
              (std::vector<int32_t>{PeriodTable[3][24], PeriodTable[3][24], PeriodTable[3][25]}));
}

TEST_F(Engine, VibratoNeverHandsANegativePeriod)
{
    b.note(0, 0, 0, 1, 83, 1, 0x10).note(0, 1, 0, 0, 84, 4, 0x4F);
    start();
    ticks(6);
    EXPECT_EQ(ch(0).period, 27);
    for (int32_t i = 0; i < 64 * 6; ++i)
        for (int32_t p : values(ticks(1), "per"))
            ASSERT_GE(p, 0);
}

TEST_F(Engine, JumpThenLoopBackStaysInsideTheSong)
{
    // B00 leaves the order position at -1, and a loop on a later channel
    // pulls the row back, so the order never advances past it.
    b.fx(0, 0, 0, 0xE, 0x60).fx(0, 1, 0, 0xB, 0x00).fx(0, 1, 1, 0xE, 0x61);
    b.fx(0, 2, 0, 0xB, 0x7F).fx(0, 2, 1, 0xE, 0x61);
    b.song({0, 0}, 2, 1);
    start();
    for (int32_t i = 0; i < 64 * 6 * 4; ++i) {
        pt_tick();
        calls().clear();
        const Playback& p = pt_state().play;
        ASSERT_TRUE(p.playing_order >= 0 && p.playing_order < 2) << i;
    }
}

}  // namespace
