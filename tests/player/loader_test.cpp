// The loader: signatures, headers, order list, pattern conversion, the
// samples handed to the driver, and images that lie about their contents.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "sound/mixer/sound_driver.h"
#include "sound/player/loader.h"
#include "sound/player/player_state.h"
#include "sound/player/tables.h"
#include "sound/player/tick.h"
#include "tests/player/test_module.h"

using Calls = std::vector<std::string>;

namespace {

class Loader : public ::testing::Test {
protected:
    void SetUp() override { fresh_player(); }
    const Song& song() { return pt_state().song; }
};

TEST_F(Loader, SignaturesGiveTheirChannelCounts)
{
    const std::pair<const char*, int32_t> known[] = {{"2CHN", 2}, {"4CHN", 4},  {"M.K.", 4},  {"M!K!", 4},
                                                     {"FLT4", 4}, {"FLT8", 8},  {"OCTA", 8},  {"6CHN", 6},
                                                     {"8CHN", 8}, {"10CH", 10}, {"16CH", 16}, {"32CH", 32}};
    for (auto [sig, channels] : known) {
        fresh_player();
        std::vector<uint8_t> img = ModBuilder(channels, sig).build();
        ASSERT_EQ(load(img), 1) << sig;
        EXPECT_EQ(song().channels, channels) << sig;
        EXPECT_EQ(img.size(), 1084u + channels * 256u) << sig;
        EXPECT_EQ(calls().back(), "count " + std::to_string(channels)) << sig;
    }
}

TEST_F(Loader, UnknownSignatureIsRefusedAfterTheSongTables)
{
    for (const char* sig : {"STOP", "M.K ", "xyzw", "\0\0\0\0"}) {
        fresh_player();
        ModBuilder b(4, "M.K.");
        b.sample(1, 10, 40).song({3, 1}, 2, 1);
        std::vector<uint8_t> img = b.build();
        std::memcpy(&img[1080], sig, 4);
        const std::vector<uint8_t> before = img;
        EXPECT_EQ(load(img), 0);
        EXPECT_STREQ(pt_last_error(), "pt_takemod error: unknown module type!");
        EXPECT_EQ(song().channels, 0);
        EXPECT_TRUE(calls().empty()) << "no sample defined, no voice count";
        EXPECT_EQ(img, before) << "no pattern converted";
        EXPECT_EQ(song().samples[1].volume, 40);
        EXPECT_EQ(song().song_length, 2);
        EXPECT_EQ(song().order[0], 3);
        // Playback was not reset: the start-of-program speed 0 freezes everything.
        EXPECT_EQ(pt_state().play.speed, 0);
        EXPECT_TRUE(ticks(5).empty());
    }
}

TEST_F(Loader, SampleHeadersAreConverted)
{
    ModBuilder b;
    b.sample(1, 0x1234, 64, 0xF7, 3, 1)
        .sample(2, 1, 65, 0x18)
        .sample(3, 1, 100)
        .sample(4, 1, 255)
        .sample(31, 0xFFFF, 0, 0, 0x100, 0x200);
    std::vector<uint8_t> img = b.build();
    ASSERT_EQ(load(img), 1);
    const auto& s = song().samples;
    EXPECT_EQ(s[1].length, 0x2468);
    EXPECT_EQ(s[1].finetune, 7);
    EXPECT_EQ(s[1].volume, 64);
    EXPECT_EQ(s[1].loop_start, 6);
    EXPECT_EQ(s[1].loop_length, 2);
    EXPECT_EQ(s[2].finetune, 8);
    EXPECT_EQ(s[2].volume, 64);
    EXPECT_EQ(s[3].volume, 64);
    EXPECT_EQ(s[4].volume, 64);
    EXPECT_EQ(s[31].length, 131070);
    EXPECT_EQ(s[31].loop_start, 0x200);
    EXPECT_EQ(s[31].loop_length, 0x400);
}

TEST_F(Loader, RestartAboveOneHundredTwentySixBecomesZero)
{
    for (auto [byte, want] : {std::pair{126, 126}, {127, 0}, {255, 0}, {5, 5}}) {
        fresh_player();
        std::vector<uint8_t> img = ModBuilder().song({0}, 1, byte).build();
        ASSERT_EQ(load(img), 1);
        EXPECT_EQ(song().restart, want) << byte;
    }
}

TEST_F(Loader, HighestPatternCountsUnplayedEntries)
{
    // The played entries name at most pattern 10, an entry past the song
    // length names 40: patterns 0..40 are present and the samples follow 40.
    std::vector<int32_t> order(128, 0);
    order[0] = 10;
    order[1] = 3;
    order[100] = 40;
    ModBuilder b;
    b.song(order, 2).sample(1, 8).note(40, 0, 0, 1, 24).note(10, 0, 0, 1, 36);
    std::vector<uint8_t> img = b.build();
    ASSERT_EQ(load(img), 1);
    EXPECT_EQ(song().highest_pattern, 40);
    EXPECT_EQ(song().pattern_offset[40], 1084u + 40 * 1024u);
    EXPECT_EQ(img[1084 + 40 * 1024 + 1], 24) << "pattern 40 converted";
    EXPECT_EQ(calls(), (Calls{"def 1 len=16 ls=0 le=0 loop=0", "count 4"}));
    EXPECT_EQ(img[1084 + 41 * 1024], 1) << "sample 1 data starts after pattern 40";
}

TEST_F(Loader, SamplesAreDefinedInOrderWithTheLoopRule)
{
    ModBuilder b;
    b.sample(1, 100, 64, 0, 10, 1)     // one-word loop: not a loop
        .sample(2, 100, 64, 0, 10, 2)  // two words: loops
        .sample(3, 0)                  // empty: not defined, takes no data
        .sample(4, 50, 64, 0, 0, 50);
    std::vector<uint8_t> img = b.build();
    ASSERT_EQ(load(img), 1);
    EXPECT_EQ(calls(), (Calls{"def 1 len=200 ls=20 le=22 loop=0", "def 2 len=200 ls=20 le=24 loop=1",
                              "def 4 len=100 ls=0 le=100 loop=1", "count 4"}));
}

TEST_F(Loader, SampleDataPointersFollowOneAnother)
{
    static std::vector<const int8_t*> seen;
    seen.clear();
    sound_driver.define_sample = [](int32_t, const int8_t* d, uint32_t, uint32_t, uint32_t,
                                    int32_t) -> int32_t {
        seen.push_back(d);
        return 1;
    };
    std::vector<uint8_t> img = ModBuilder().sample(2, 3).sample(4, 5).build();
    ASSERT_EQ(load(img), 1);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(seen[0]), img.data() + 1084 + 1024);
    EXPECT_EQ(seen[1], seen[0] + 6) << "sample 4 follows sample 2 directly";
    EXPECT_EQ(seen[1][0], 4);
}

TEST_F(Loader, CellsAreConvertedInPlace)
{
    std::vector<uint8_t> img = ModBuilder().build();
    const uint8_t cell[4] = {0x13, 0x58, 0x4C, 0x20};  // sample 0x14, period 856, C20
    std::memcpy(&img[1084], cell, 4);
    ASSERT_EQ(load(img), 1);
    EXPECT_EQ(img[1084], 0x14);
    EXPECT_EQ(img[1085], 24);
    EXPECT_EQ(img[1086], 0x0C);
    EXPECT_EQ(img[1087], 0x20);
}

TEST_F(Loader, PeriodsMapToTheHigherNoteOfRowZero)
{
    auto note_of = [](int32_t period) {
        uint8_t c[4] = {static_cast<uint8_t>(period >> 8), static_cast<uint8_t>(period), 0, 0};
        pt_convert_patterns(c);
        return c[1];
    };
    EXPECT_EQ(note_of(0), 84);
    EXPECT_EQ(note_of(27), 84);
    EXPECT_EQ(note_of(28), 83);
    EXPECT_EQ(note_of(30), 82);
    EXPECT_EQ(note_of(3424), 0);
    EXPECT_EQ(note_of(4095), 0);
    EXPECT_EQ(note_of(856), 24);
    EXPECT_EQ(note_of(855), 25);
    EXPECT_EQ(note_of(857), 24);
    for (int32_t n = 0; n < 84; ++n) {
        if (n == 0 || PeriodTable[0][n] != PeriodTable[0][n - 1]) {
            EXPECT_EQ(note_of(PeriodTable[0][n]), n);
        }
    }
}

TEST_F(Loader, PeriodTableKeepsItsQuirks)
{
    EXPECT_EQ(PeriodTable[5][3], 2278);
    EXPECT_EQ(PeriodTable[11][10], 1191);
    EXPECT_EQ(PeriodTable[15][7], 2031);
    int32_t lo = 99999, hi = 0, breaks = 0;
    for (const auto& row : PeriodTable) {
        EXPECT_EQ(row[84], row[83]);
        for (int32_t n = 0; n < 85; ++n) {
            lo = row[n] < lo ? row[n] : lo;
            hi = row[n] > hi ? row[n] : hi;
            if (n > 0 && row[n] > row[n - 1])
                ++breaks;
        }
    }
    EXPECT_EQ(lo, PERIOD_MIN);
    EXPECT_EQ(hi, PERIOD_MAX);
    EXPECT_EQ(breaks, 3);
    EXPECT_EQ(period_at(0, 85), PeriodTable[1][0]) << "flat lookup runs into the next row";
    EXPECT_EQ(period_at(15, 98), PeriodTable[15][84]) << "but never past the table";
}

TEST_F(Loader, LoadResetsPlaybackForTheFirstRow)
{
    std::vector<uint8_t> img = ModBuilder().build();
    ASSERT_EQ(load(img), 1);
    const Playback& p = pt_state().play;
    EXPECT_EQ(p.speed, 6);
    EXPECT_EQ(p.tempo, 125);
    EXPECT_EQ(p.tick, 5);
    EXPECT_EQ(p.row, 63);
    EXPECT_EQ(p.order_pos, -1);
    EXPECT_EQ(pt_last_error(), nullptr);
}

// ---- Images that do not hold what they declare ----

TEST_F(Loader, TooShortForTheHeaderIsRefused)
{
    std::vector<uint8_t> full = ModBuilder().build();
    for (size_t n : {size_t{0}, size_t{1}, size_t{950}, size_t{1080}, size_t{1083}}) {
        fresh_player();
        std::vector<uint8_t> img(full.begin(), full.begin() + n);
        EXPECT_EQ(pt_load_module(img.data(), img.size()), 0) << n;
        EXPECT_STREQ(pt_last_error(), "pt_takemod error: module shorter than its header!");
        EXPECT_EQ(pt_state().song.channels, 0);
        EXPECT_TRUE(calls().empty());
    }
    EXPECT_EQ(pt_load_module(nullptr, 5000), 0);
}

TEST_F(Loader, TooShortForItsPatternsIsRefused)
{
    std::vector<uint8_t> full = ModBuilder().song({0, 2}).sample(1, 4).build();
    const size_t patterns_end = 1084 + 3 * 1024;
    for (size_t n : {size_t{1084}, size_t{1085}, size_t{1084 + 1024}, patterns_end - 1}) {
        fresh_player();
        std::vector<uint8_t> img(full.begin(), full.begin() + n);
        EXPECT_EQ(load(img), 0) << n;
        EXPECT_STREQ(pt_last_error(), "pt_takemod error: module shorter than its patterns!");
        EXPECT_EQ(pt_state().song.channels, 0);
        EXPECT_TRUE(calls().empty());
        EXPECT_TRUE(ticks(3).empty());
    }
    fresh_player();
    std::vector<uint8_t> img(full.begin(), full.begin() + patterns_end);
    EXPECT_EQ(load(img), 1) << "patterns complete, samples all missing";
    EXPECT_EQ(calls(), (Calls{"count 4"}));
}

TEST_F(Loader, TruncatedSampleDataIsCutToWhatIsPresent)
{
    // Samples 1 (100 bytes), 2 (40 bytes, looping 20..40), 3 (60 bytes).
    std::vector<uint8_t> full =
        ModBuilder().sample(1, 50).sample(2, 20, 64, 0, 10, 10).sample(3, 30, 64, 0, 0, 30).build();
    const size_t data = 1084 + 1024;
    struct Case {
        size_t size;
        Calls want;
    } cases[] = {
        {data + 200,
         {"def 1 len=100 ls=0 le=0 loop=0", "def 2 len=40 ls=20 le=40 loop=1",
          "def 3 len=60 ls=0 le=60 loop=1", "count 4"}},
        {data + 170,
         {"def 1 len=100 ls=0 le=0 loop=0", "def 2 len=40 ls=20 le=40 loop=1",
          "def 3 len=30 ls=0 le=30 loop=1", "count 4"}},
        {data + 130, {"def 1 len=100 ls=0 le=0 loop=0", "def 2 len=30 ls=20 le=30 loop=1", "count 4"}},
        {data + 121, {"def 1 len=100 ls=0 le=0 loop=0", "def 2 len=21 ls=20 le=21 loop=0", "count 4"}},
        {data + 110, {"def 1 len=100 ls=0 le=0 loop=0", "def 2 len=10 ls=10 le=10 loop=0", "count 4"}},
        {data + 100, {"def 1 len=100 ls=0 le=0 loop=0", "count 4"}},
        {data + 1, {"def 1 len=1 ls=0 le=0 loop=0", "count 4"}},
        {data, {"count 4"}},
    };
    for (const Case& c : cases) {
        fresh_player();
        std::vector<uint8_t> img(full.begin(), full.begin() + c.size);
        EXPECT_EQ(load(img), 1) << c.size;
        EXPECT_EQ(calls(), c.want) << c.size;
    }
}

TEST_F(Loader, LoopPointsAreKeptInsideTheSample)
{
    // Loops that start past the end or run past it, as some old trackers saved them.
    std::vector<uint8_t> img = ModBuilder()
                                   .sample(1, 10, 64, 0, 20, 4)  // starts past the end
                                   .sample(2, 10, 64, 0, 6, 10)  // runs past the end
                                   .sample(3, 10, 64, 0, 0, 0xFFFF)
                                   .build();
    ASSERT_EQ(load(img), 1);
    EXPECT_EQ(calls(), (Calls{"def 1 len=20 ls=20 le=20 loop=0", "def 2 len=20 ls=12 le=20 loop=1",
                              "def 3 len=20 ls=0 le=20 loop=1", "count 4"}));
}

TEST_F(Loader, OutOfRangeSongFieldsAreClamped)
{
    std::vector<int32_t> order(128, 1);
    order[5] = 200;  // no pattern slot 200: plays pattern 0
    order[6] = 128;
    ModBuilder b;
    b.song(order, 255);
    std::vector<uint8_t> img = b.build();
    img.resize(1084 + 2 * 1024);  // patterns 0 and 1 are all that can be needed
    ASSERT_EQ(load(img), 1);
    EXPECT_EQ(song().song_length, 128);
    EXPECT_EQ(song().order[5], 0);
    EXPECT_EQ(song().order[6], 0);
    EXPECT_EQ(song().highest_pattern, 1);
    // Play well past the end of the order list: it wraps to the restart position.
    for (int32_t i = 0; i < 130 * 64 * 6; ++i) {
        pt_tick();
        calls().clear();
        ASSERT_LT(pt_state().play.order_pos, 128);
    }
}

TEST_F(Loader, SampleNumbersAboveThirtyOneMeanNoSample)
{
    ModBuilder b;
    b.sample(1, 4).cell(0, 0, 0, 0x21, 428).cell(0, 0, 1, 0xF1, 428);
    std::vector<uint8_t> img = b.build();
    ASSERT_EQ(load(img), 1);
    EXPECT_EQ(img[1084], 0);
    EXPECT_EQ(img[1088], 0);
    const Calls got = ticks(1);
    EXPECT_EQ(std::count(got.begin(), got.end(), "smp 1"), 0);
    EXPECT_EQ(pt_state().channels[0].sample, 0);
}

}  // namespace
