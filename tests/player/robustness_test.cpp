// Real modules and damaged ones: every call the engine makes stays inside
// the driver's ranges, sample data stays inside the image, and ten minutes
// of song time pass without a fault (run this in the sanitizer build too).
#include <gtest/gtest.h>

#include <random>

#include "sound/mixer/sound_driver.h"
#include "sound/player/loader.h"
#include "sound/player/player_state.h"
#include "sound/player/tick.h"
#include "tests/player/real_modules.h"
#include "tests/support/test_files.h"
#include "tests/player/test_module.h"

namespace {

constexpr int32_t TEN_MINUTES_OF_TICKS = 30000;  // at 50 ticks a second

// A driver that checks each argument against the ranges of the table.
struct Checker {
    const uint8_t* image = nullptr;
    size_t size = 0;
    int32_t channels = 0;
    int32_t selected = -1;   // voice selected in this tick, -1 = none yet
    int32_t next_voice = 0;  // channels are selected in order, each once
    std::vector<std::string> faults;

    void fault(const std::string& s)
    {
        if (faults.size() < 20)
            faults.push_back(s);
    }
};
Checker g;

void voice_op(const char* what, int64_t v, int64_t lo, int64_t hi)
{
    if (g.selected < 0)
        g.fault(std::string(what) + " without a selected voice");
    if (v < lo || v > hi)
        g.fault(std::string(what) + " " + std::to_string(v));
}

void install_checker()
{
    sound_driver_reset();
    SoundDriver& d = sound_driver;
    d.define_sample = [](int32_t s, const int8_t* data, uint32_t end, uint32_t ls, uint32_t le,
                         int32_t) -> int32_t {
        const uint8_t* p = reinterpret_cast<const uint8_t*>(data);
        if (s < 1 || s > 31)
            g.fault("define_sample number " + std::to_string(s));
        if (p < g.image || p + end > g.image + g.size)
            g.fault("sample data outside the image");
        if (ls > le || le > end)
            g.fault("loop outside the sample");
        return 1;
    };
    d.set_voice_count = [](int32_t n) {
        if (n < 1 || n > 32)
            g.fault("voice count " + std::to_string(n));
    };
    d.select_voice = [](int32_t v) {
        if (v != g.next_voice)
            g.fault("selected " + std::to_string(v) + ", expected " + std::to_string(g.next_voice));
        g.selected = v;
        g.next_voice = v + 1;
    };
    d.set_voice_sample = [](int32_t s) { voice_op("sample", s, 1, 31); };
    d.set_voice_offset = [](uint32_t p) { voice_op("offset", p, 0, 255 * 256); };
    d.set_voice_volume = [](int32_t v) { voice_op("volume", v, 0, 255); };
    d.set_voice_pan = [](int32_t p) { voice_op("pan", p, 0, 255); };
    d.set_voice_period = [](int32_t p) { voice_op("period", p, 0, 3628 + 30); };
}

// Loads the image under the checker and steps it; returns false if refused.
bool play(std::vector<uint8_t>& img, int32_t n_ticks)
{
    pt_state_reset();
    g = Checker{};
    g.image = img.data();
    g.size = img.size();
    install_checker();
    if (!pt_load_module(img.data(), img.size()))
        return false;
    g.channels = pt_state().song.channels;
    for (int32_t i = 0; i < n_ticks; ++i) {
        g.selected = -1;
        g.next_voice = 0;
        pt_tick();
        if (g.next_voice != 0 && g.next_voice != g.channels)
            g.fault("not every channel selected");
        const Playback& p = pt_state().play;
        if (p.playing_order < 0 || p.playing_order >= 128 || p.playing_row < 0 || p.playing_row > 63)
            g.fault("playing position out of range");
        if (!g.faults.empty())
            break;
    }
    return true;
}

std::string faults()
{
    std::string s;
    for (const std::string& f : g.faults)
        s += f + "; ";
    return s;
}

TEST(RealModules, LoadAndPlayTenMinutesEach)
{
    const std::vector<std::string> mods = real_modules();
    if (mods.empty())
        GTEST_SKIP() << "the freedroid-data and circuslinux-data modules could not be fetched";
    for (const std::string& path : mods) {
        std::vector<uint8_t> img = read_file(path);
        ASSERT_TRUE(play(img, TEN_MINUTES_OF_TICKS)) << path << ": " << pt_last_error();
        EXPECT_TRUE(g.faults.empty()) << path << ": " << faults();
        EXPECT_GE(pt_state().song.channels, 4) << path;
    }
}

TEST(RealModules, TruncatedAnywhereStaysSafe)
{
    const std::vector<std::string> mods = real_modules();
    if (mods.empty())
        GTEST_SKIP() << "the freedroid-data and circuslinux-data modules could not be fetched";
    std::mt19937 rng(5);
    for (const std::string& path : mods) {
        const std::vector<uint8_t> full = read_file(path);
        for (int32_t i = 0; i < 8; ++i) {
            // Cut into a fresh allocation of exactly that size so the
            // sanitizer sees any read past the end.
            const size_t n = std::uniform_int_distribution<size_t>(0, full.size())(rng);
            std::vector<uint8_t> img(full.begin(), full.begin() + n);
            img.shrink_to_fit();
            play(img, 2000);
            EXPECT_TRUE(g.faults.empty()) << path << " cut at " << n << ": " << faults();
        }
    }
}

// A small module that uses every command, then random damage to it.
std::vector<uint8_t> busy_module()
{
    ModBuilder b(6, "6CHN");
    for (int32_t i = 1; i <= 31; ++i)
        b.sample(i, 16 + i, 64, i & 15, 2, i & 7);
    std::mt19937 rng(11);
    for (int32_t pat = 0; pat < 3; ++pat)
        for (int32_t row = 0; row < 64; ++row)
            for (int32_t c = 0; c < 6; ++c) {
                const uint32_t r = rng();
                b.note(pat, row, c, r % 32, (r >> 5) % 85, (r >> 12) % 16, (r >> 16) & 0xFF);
            }
    b.song({0, 1, 2, 1}, 4, 1);
    return b.build();
}

TEST(DamagedModules, RandomBytesNeverFault)
{
    const std::vector<uint8_t> base = busy_module();
    std::mt19937 rng(3);
    for (int32_t round = 0; round < 150; ++round) {
        std::vector<uint8_t> img = base;
        const int32_t flips = 1 + round % 40;
        for (int32_t i = 0; i < flips; ++i) {
            // Aim most damage at the header, where the counts and offsets are.
            const size_t at = rng() % 4 ? rng() % 1084 : rng() % img.size();
            img[at] = static_cast<uint8_t>(rng());
        }
        if (round % 3 == 0)
            img.resize(rng() % (img.size() + 1));
        img.shrink_to_fit();
        play(img, 3000);
        EXPECT_TRUE(g.faults.empty()) << "round " << round << ": " << faults();
    }
}

TEST(DamagedModules, BusyModulePlaysCleanly)
{
    std::vector<uint8_t> img = busy_module();
    ASSERT_TRUE(play(img, TEN_MINUTES_OF_TICKS));
    EXPECT_TRUE(g.faults.empty()) << faults();
}

}  // namespace
