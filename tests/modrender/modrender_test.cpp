// modrender as a process on small modules built in memory: where the song
// loops, the row and tick traces with their frame numbers, the WAV file (its
// header, and its samples against the 16-bit mix the demo makes), the wrap
// count and the refusals. Also its level meter on its own.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "core/sound_rates.h"
#include "sound/mixer/mixer.h"
#include "sound/mixer/null_audio.h"
#include "sound/mixer/sound_driver.h"
#include "sound/player/loader.h"
#include "sound/player/player_clock.h"
#include "sound/player/player_state.h"
#include "sound/player/tick.h"
#include "tests/modrender/run_tool.h"
#include "tests/support/test_files.h"
#include "tests/player/test_module.h"
#include "tools/modrender/levels.h"

namespace {

constexpr int64_t row_frames = 6 * 882;  // speed 6, tempo 125

// Writes the module to a scratch file and runs modrender on it.
ToolRun render(const ModBuilder& b, std::vector<std::string> options = {})
{
    const std::string mod = scratch_path(".mod");
    write_file(mod, b.build());
    options.push_back(mod);
    return run_modrender(options);
}

std::vector<std::pair<int32_t, int32_t>> positions(const std::vector<TraceRow>& rows)
{
    std::vector<std::pair<int32_t, int32_t>> out;
    for (const TraceRow& r : rows)
        out.emplace_back(r.order, r.row);
    return out;
}

// The (order, row) sequence of whole entries and row ranges.
struct Expect {
    std::vector<std::pair<int32_t, int32_t>> rows;
    Expect& entry(int32_t order, int32_t from = 0, int32_t to = 63)
    {
        for (int32_t r = from; r <= to; ++r)
            rows.emplace_back(order, r);
        return *this;
    }
};

// --- Where the song ends ---------------------------------------------------

TEST(SongEnd, WrapToTheRestartPositionEndsIt)
{
    ModBuilder b;
    b.song({0, 1, 2}, 3, 1);
    const ToolRun r = render(b, {"--trace", "rows"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(positions(parse_rows(r.out)), Expect().entry(0).entry(1).entry(2).rows);
    const auto s = parse_summary(r.err);
    EXPECT_EQ(s.at("end"), "loop");
    EXPECT_EQ(s.at("frames"), std::to_string(3 * 64 * row_frames));
}

TEST(SongEnd, BackwardJumpEndsItAndAJumpToItselfToo)
{
    ModBuilder back;
    back.fx(1, 10, 2, 0xB, 0).song({0, 1, 2});
    ToolRun r = render(back, {"--trace", "rows"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(positions(parse_rows(r.out)), Expect().entry(0).entry(1, 0, 10).rows);
    EXPECT_EQ(parse_summary(r.err).at("frames"), std::to_string(75 * row_frames));

    ModBuilder self;
    self.fx(1, 4, 0, 0xB, 1).song({0, 1});
    r = render(self, {"--trace", "rows"});
    EXPECT_EQ(positions(parse_rows(r.out)), Expect().entry(0).entry(1, 0, 4).rows);
    EXPECT_EQ(parse_summary(r.err).at("end"), "loop");
}

TEST(SongEnd, AJumpBackToRowsNotYetPlayedPlaysThemFirst)
{
    // Entry 0 breaks at row 20; entry 1 jumps back to row 40 of entry 0
    // (B00 and D40 on one row), which plays out into entry 1 again.
    ModBuilder b;
    b.fx(0, 20, 0, 0xD, 0x00).fx(1, 5, 0, 0xB, 0).fx(1, 5, 1, 0xD, 0x40).song({0, 1});
    const ToolRun r = render(b, {"--trace", "rows"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(positions(parse_rows(r.out)), Expect().entry(0, 0, 20).entry(1, 0, 5).entry(0, 40, 63).rows);
    EXPECT_EQ(parse_summary(r.err).at("end"), "loop");
}

TEST(SongEnd, ForwardJumpsAndBreaksPlayOn)
{
    // 0 jumps over 1 to 2, 2 jumps back to the skipped 1, which plays out
    // into 2 again: that is the end.
    ModBuilder jumps;
    jumps.fx(0, 5, 0, 0xB, 2).fx(2, 3, 1, 0xB, 1).song({0, 1, 2, 3});
    ToolRun r = render(jumps, {"--trace", "rows"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(positions(parse_rows(r.out)), Expect().entry(0, 0, 5).entry(2, 0, 3).entry(1).rows);

    ModBuilder brk;
    brk.fx(0, 2, 3, 0xD, 0x10).song({0, 1});
    r = render(brk, {"--trace", "rows"});
    EXPECT_EQ(positions(parse_rows(r.out)), Expect().entry(0, 0, 2).entry(1, 10, 63).rows);
}

TEST(SongEnd, PatternLoopRepeatsDoNotEndItButAJumpBackIntoTheLoopDoes)
{
    ModBuilder b;
    b.fx(0, 8, 0, 0xE, 0x60).fx(0, 15, 0, 0xE, 0x62);
    ToolRun r = render(b, {"--trace", "rows"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(positions(parse_rows(r.out)),
              Expect().entry(0, 0, 15).entry(0, 8, 15).entry(0, 8, 15).entry(0, 16, 63).rows);
    EXPECT_EQ(parse_summary(r.err).at("frames"), std::to_string(80 * row_frames));

    // After the loop, entry 1 jumps back to its first row (B00, D08).
    b.fx(1, 3, 0, 0xB, 0).fx(1, 3, 1, 0xD, 0x08).song({0, 1});
    r = render(b, {"--trace", "rows"});
    EXPECT_EQ(positions(parse_rows(r.out)),
              Expect().entry(0, 0, 15).entry(0, 8, 15).entry(0, 8, 15).entry(0, 16, 63).entry(1, 0, 3).rows);
    EXPECT_EQ(parse_summary(r.err).at("end"), "loop");

    // A jump on the loop's last row (B01 after E62) leaves the loop before
    // it repeats anything: the wrap back to entry 0 ends the song.
    ModBuilder left;
    left.fx(0, 8, 0, 0xE, 0x60).fx(0, 15, 0, 0xE, 0x62).fx(0, 15, 1, 0xB, 1).song({0, 1});
    r = render(left, {"--trace", "rows"});
    EXPECT_EQ(positions(parse_rows(r.out)), Expect().entry(0, 0, 15).entry(1).rows);
    EXPECT_EQ(parse_summary(r.err).at("end"), "loop");
}

TEST(SongEnd, SpeedZeroEndsItBeforeItsRowUnlessSecondsAreAsked)
{
    // F00 on row 10 of entry 1: the show's player would hold that row for
    // ever; the song ends where it begins.
    ModBuilder b;
    b.fx(1, 10, 2, 0xF, 0).song({0, 1, 2});
    ToolRun r = render(b, {"--trace", "rows"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(positions(parse_rows(r.out)), Expect().entry(0).entry(1, 0, 9).rows);
    EXPECT_EQ(parse_summary(r.err).at("end"), "stop");
    EXPECT_EQ(parse_summary(r.err).at("frames"), std::to_string(74 * row_frames));

    r = render(b, {"-s", "20"});
    EXPECT_EQ(parse_summary(r.out).at("end"), "seconds");
    EXPECT_EQ(parse_summary(r.out).at("frames"), std::to_string(20 * SAMPLE_RATE));
}

TEST(SongEnd, SecondsCutTheRenderAndTheSummaryGoesToStdout)
{
    ModBuilder b;
    b.song({0, 0, 0});
    ToolRun r = render(b, {"-s", "0.5"});
    ASSERT_EQ(r.status, 0) << r.err;
    auto s = parse_summary(r.out);  // not tracing: the summary is on stdout
    EXPECT_EQ(s.at("frames"), "22050");
    EXPECT_EQ(s.at("seconds"), "0.500");
    EXPECT_EQ(s.at("end"), "seconds");
    EXPECT_TRUE(r.err.empty()) << r.err;

    // Longer than the song: it plays on past the loop.
    r = render(b, {"-s", "40"});
    EXPECT_EQ(parse_summary(r.out).at("end"), "seconds");
    EXPECT_EQ(parse_summary(r.out).at("frames"), std::to_string(40 * SAMPLE_RATE));
    r = render(b);
    EXPECT_EQ(parse_summary(r.out).at("end"), "loop");
    EXPECT_EQ(parse_summary(r.out).at("frames"), std::to_string(3 * 64 * row_frames));
}

// --- Traces ---------------------------------------------------------------

TEST(Trace, RowLinesCarryFramePatternSpeedAndTempo)
{
    ModBuilder b;
    // Entry 0 plays pattern 1. Row 0: speed 3. Row 2: tempo 150 (735-frame
    // ticks). Row 3 is held for one more row by EE1.
    b.fx(1, 0, 0, 0xF, 3).fx(1, 2, 1, 0xF, 150).fx(1, 3, 2, 0xE, 0xE1).song({1, 0});
    const ToolRun r = render(b, {"--trace", "rows"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<TraceRow> rows = parse_rows(r.out);
    ASSERT_GE(rows.size(), 6u);
    EXPECT_EQ(rows[0], (TraceRow{0, 0, 1, 0, 3, 125}));
    EXPECT_EQ(rows[1], (TraceRow{3 * 882, 0, 1, 1, 3, 125}));
    EXPECT_EQ(rows[2], (TraceRow{6 * 882, 0, 1, 2, 3, 150}));
    EXPECT_EQ(rows[3], (TraceRow{6 * 882 + 3 * 735, 0, 1, 3, 3, 150}));
    EXPECT_EQ(rows[4], (TraceRow{6 * 882 + 9 * 735, 0, 1, 4, 3, 150}));  // held for 6 ticks
    EXPECT_EQ(rows[64], (TraceRow{6 * 882 + 9 * 735 + 60 * 3 * 735, 1, 0, 0, 3, 150}));
    EXPECT_EQ(rows.size(), 128u);
    // Every line is a row line: nothing else on stdout.
    EXPECT_EQ(size_t(std::count(r.out.begin(), r.out.end(), '\n')), rows.size());
}

TEST(Trace, TickLinesShowWhatEachVoiceWasHanded)
{
    ModBuilder b;
    b.sample(1, 100, 40);
    b.note(0, 0, 1, 1, 24, 0x0, 0x47);  // arpeggio: 856, 678, 570 on the voice
    b.note(0, 1, 2, 1, 36, 0xC, 20);
    const ToolRun r = render(b, {"--trace", "ticks", "-s", "0.3"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);)
        got.push_back(line);
    ASSERT_EQ(got.size(), 15u);  // 0.3 s = 13230 frames: ticks at 0, 882, ... 13230 - 882
    EXPECT_EQ(got[0], "tick 0 0 0 0 0/0 856/40 0/0 0/0");
    EXPECT_EQ(got[1], "tick 882 0 0 1 0/0 678/40 0/0 0/0");
    EXPECT_EQ(got[2], "tick 1764 0 0 2 0/0 570/40 0/0 0/0");
    EXPECT_EQ(got[5], "tick 4410 0 0 5 0/0 570/40 0/0 0/0");
    EXPECT_EQ(got[6], "tick 5292 0 1 0 0/0 570/40 428/20 0/0");
    EXPECT_EQ(parse_summary(r.err).at("frames"), "13230");
}

// --- The WAV file ------------------------------------------------------------

// What the demo's audio callback adds: per tick, mixer_mix of the tick's
// frames into 16-bit output, through the null back-end.
std::vector<int16_t> demo_mix(std::vector<uint8_t> image, int64_t frames)
{
    sound_driver_reset();
    mixer_reset();
    pt_state_reset();
    null_audio_install(SAMPLE_RATE, DEVICE_BUFFER_FRAMES);
    sound_driver.init(SAMPLE_RATE, DEVICE_BUFFER_FRAMES);
    sound_driver.set_master_volume(64);
    std::vector<int16_t> out(2 * size_t(frames), 0);
    if (!pt_load_module(image.data(), image.size()))
        return {};
    for (int64_t done = 0; done < frames;) {
        pt_tick();
        const int32_t n = int32_t(std::min<int64_t>(pt_tick_length(), frames - done));
        mixer_mix(out.data() + 2 * done, n);
        done += n;
    }
    pt_state_reset();
    sound_driver_reset();
    return out;
}

// Four voices of a looping sample, with slides and vibrato; in the second
// half three of them at volume 255, two panned hard to the second channel:
// a mix that wraps there.
ModBuilder busy_module()
{
    ModBuilder b;
    b.sample(31, 300, 64, 0, 10, 290).sample(7, 500, 50);
    b.fx(0, 2, 0, 0xE, 0x80).fx(0, 2, 1, 0xE, 0x80);
    for (int32_t row = 0; row < 64; row += 4) {
        const bool loud = row >= 32;
        b.note(0, row, 0, 31, 12 + row % 24, 0xC, loud ? 255 : 64);
        b.note(0, row + 1, 1, 31, 24 + row % 12, loud ? 0xC : 0x4, loud ? 255 : 0x48);
        b.note(0, row + 2, 2, 7, 30, loud ? 0xC : 0x1, loud ? 255 : 2);
        b.note(0, row + 3, 3, 31, 20, 0xE, 0x8F);
    }
    return b;
}

TEST(Wav, HeaderAndSamplesAreTheDemosMix)
{
    const ModBuilder b = busy_module();
    const std::string wav = scratch_path(".wav");
    const ToolRun r = render(b, {"-s", "5", "-o", wav});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string f = read_file<std::string>(wav);
    std::remove(wav.c_str());
    const uint32_t frames = 5 * SAMPLE_RATE;
    ASSERT_EQ(f.size(), 44u + 4u * frames);
    EXPECT_EQ(f.substr(0, 4), "RIFF");
    EXPECT_EQ(le32(f, 4), 36u + 4u * frames);
    EXPECT_EQ(f.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(f, 16), 16u);
    EXPECT_EQ(le16(f, 20), 1u);  // PCM
    EXPECT_EQ(le16(f, 22), 2u);  // stereo
    EXPECT_EQ(le32(f, 24), uint32_t(SAMPLE_RATE));
    EXPECT_EQ(le32(f, 28), uint32_t(SAMPLE_RATE) * 4);
    EXPECT_EQ(le16(f, 32), 4u);
    EXPECT_EQ(le16(f, 34), 16u);
    EXPECT_EQ(f.substr(36, 4), "data");
    EXPECT_EQ(le32(f, 40), 4u * frames);

    const std::vector<int16_t> want = demo_mix(b.build(), frames);
    ASSERT_EQ(want.size(), 2u * frames);
    std::vector<int16_t> got(2 * size_t(frames));
    std::memcpy(got.data(), f.data() + 44, 4 * size_t(frames));
    EXPECT_EQ(got, want);
    EXPECT_GT(std::count_if(want.begin(), want.end(), [](int16_t s) { return s != 0; }), 100000);
    EXPECT_GT(std::stol(parse_summary(r.out).at("wrapped")), 0);  // the test covers wrapped frames
}

TEST(Wav, NothingIsWrittenWithoutDashO)
{
    const ToolRun r = render(busy_module(), {"-s", "0.1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(std::ifstream(scratch_path(".wav")).good());
}

// --- Wrapped frames and the peak ------------------------------------------

// Channels 0..n-1 pan to 240 on row 0 and start a constant looping sample
// (every byte 31) at volume 255 on row 1.
ModBuilder constant_level(int32_t loud_channels)
{
    ModBuilder b;
    b.sample(31, 1000, 64, 0, 0, 1000);
    for (int32_t c = 0; c < loud_channels; ++c) {
        b.fx(0, 0, c, 0xE, 0x8F);
        b.note(0, 1, c, 31, 24, 0xC, 0xFF);
    }
    return b;
}

TEST(Levels, WrappedFramesAndPeakOfAModuleBuiltToWrap)
{
    const uint32_t gain = mixer_gains(255, 240, 64).first;  // 485
    ToolRun r = render(constant_level(3));
    ASSERT_EQ(r.status, 0) << r.err;
    auto s = parse_summary(r.out);
    EXPECT_EQ(s.at("peak"), std::to_string(3 * gain * 31));       // 45105: past 32767
    EXPECT_EQ(s.at("wrapped"), std::to_string(63 * row_frames));  // every frame from row 1
    EXPECT_EQ(s.at("peak_dbfs"), "2.78");

    r = render(constant_level(2));
    s = parse_summary(r.out);
    EXPECT_EQ(s.at("peak"), std::to_string(2 * gain * 31));  // 30070: fits
    EXPECT_EQ(s.at("wrapped"), "0");

    r = render(ModBuilder());
    s = parse_summary(r.out);
    EXPECT_EQ(s.at("peak"), "0");
    EXPECT_EQ(s.at("peak_dbfs"), "-inf");
}

TEST(Levels, EdgesOfTheSixteenBitRange)
{
    const int32_t wide[] = {32767, -32768, 32768, 0, 0, -32769, 70000, -70000, -65536, 65536};
    int16_t out[10];
    Levels l;
    levels_reduce(wide, out, 5, l);
    EXPECT_EQ(l.wrapped_frames, 4);  // only the first frame fits
    EXPECT_EQ(l.peak, 70000);
    const int16_t want[] = {32767, -32768, -32768, 0, 0, 32767, 4464, -4464, 0, 0};
    EXPECT_TRUE(std::equal(out, out + 10, want));
    EXPECT_DOUBLE_EQ(levels_dbfs(32768), 0.0);
}

// --- Refusals ----------------------------------------------------------------

TEST(Refusal, NotAModuleGivesTheLoadersMessageAndStatus1)
{
    const std::string mod = scratch_path(".mod"), wav = scratch_path(".wav");
    write_file(mod, std::vector<uint8_t>(2000, 'x'));
    ToolRun r = run_modrender({"-o", wav, mod});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(mod), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("unknown module type"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
    EXPECT_FALSE(std::ifstream(wav).good());

    r = run_modrender({scratch_path(".missing")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot read"), std::string::npos) << r.err;
    r = run_modrender({"."});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Is a directory"), std::string::npos) << r.err;

    const std::vector<std::vector<std::string>> bad_uses = {
        {}, {"--trace", "columns", "x.mod"}, {"-s", "soon", "x.mod"}, {"a.mod", "b.mod"}, {"-q", "x.mod"}};
    for (const std::vector<std::string>& bad : bad_uses) {
        r = run_modrender(bad);
        EXPECT_EQ(r.status, 2) << testing::PrintToString(bad);
        EXPECT_NE(r.err.find("usage: modrender"), std::string::npos) << testing::PrintToString(bad);
    }
}

}  // namespace
