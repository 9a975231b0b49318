// Our song timeline against a peer player's on the real modules: the same
// (order, row) sequence, each row lasting the same ticks at the same tempo,
// over ten minutes of song time including the wraps to the restart position.
#include <gtest/gtest.h>

#include "tests/player/real_modules.h"
#include "tests/support/test_files.h"
#include "tests/player/test_module.h"
#include "tools/timeline/timeline.h"

namespace {

TEST(PeerTimeline, RealModulesPlayTheSameRows)
{
    const std::vector<std::string> mods = real_modules();
    if (mods.empty())
        GTEST_SKIP() << "the freedroid-data and circuslinux-data modules could not be fetched";
    for (const std::string& path : mods) {
        const std::vector<uint8_t> image = read_file(path);
        const std::vector<TimelineRow> ours = our_timeline(image, 30000);
        const std::vector<TimelineRow> peer = peer_timeline(image, 30000, 1000);
        std::string report;
        EXPECT_TRUE(compare_timelines(ours, peer, report)) << path << ": " << report;
        EXPECT_GT(peer.size(), 300u) << path;
        EXPECT_LE(ours.size() > peer.size() ? ours.size() - peer.size() : peer.size() - ours.size(), 1u)
            << path;
    }
}

// Small songs built around the row-order commands: both players must agree.
struct Song {
    const char* name;
    void (*build)(ModBuilder&);
};

const Song SONGS[] = {
    {"speed and tempo",
     [](ModBuilder& b) {
         b.fx(0, 0, 0, 0xF, 3).fx(0, 4, 1, 0xF, 0x1F).fx(0, 5, 1, 0xF, 0x20).fx(0, 6, 2, 0xF, 2);
         b.fx(0, 9, 3, 0xF, 0xFF).song({0, 0});
     }},
    {"jump and break on one row",
     [](ModBuilder& b) {
         b.fx(0, 3, 0, 0xB, 2).fx(0, 3, 1, 0xD, 0x16).fx(2, 20, 0, 0xB, 1).song({0, 1, 2, 3});
     }},
    {"break with decimal digits",
     [](ModBuilder& b) {
         b.fx(0, 1, 0, 0xD, 0x32).fx(1, 40, 0, 0xD, 0x09).song({0, 1, 0});
     }},
    {"jump past the end",
     [](ModBuilder& b) {
         b.fx(1, 2, 0, 0xB, 9).song({0, 1, 2}, 3, 1);
     }},
    {"pattern loop twice",
     [](ModBuilder& b) {
         b.fx(0, 0, 0, 0xF, 2).fx(0, 8, 0, 0xE, 0x60).fx(0, 15, 0, 0xE, 0x63).song({0, 0});
     }},
    {"loops on two channels",
     [](ModBuilder& b) {
         b.fx(0, 2, 0, 0xE, 0x60).fx(0, 5, 0, 0xE, 0x62).fx(0, 10, 1, 0xE, 0x60).fx(0, 12, 1, 0xE, 0x61);
     }},
    {"pattern delays",
     [](ModBuilder& b) {
         b.fx(0, 1, 0, 0xE, 0xE2).fx(0, 3, 2, 0xE, 0xE3).fx(0, 4, 0, 0xF, 3).fx(0, 5, 3, 0xE, 0xE1);
     }},
};

TEST(PeerTimeline, RowOrderCommands)
{
    for (const Song& s : SONGS) {
        ModBuilder b;
        b.sample(1, 16);
        s.build(b);
        const std::vector<uint8_t> image = b.build();
        const std::vector<TimelineRow> ours = our_timeline(image, 3000);
        const std::vector<TimelineRow> peer = peer_timeline(image, 3000, 2);
        std::string report;
        EXPECT_TRUE(compare_timelines(ours, peer, report)) << s.name << ": " << report;
        EXPECT_GT(peer.size(), 64u) << s.name;
    }
}

// A rule of ours that differs: each channel keeps its own pattern delay and
// the row is held for the longest, where the peer keeps one delay that the
// last channel's EEx overwrites.
TEST(PeerTimeline, PatternDelaysOnTwoChannelsHoldForTheLongest)
{
    ModBuilder b;
    b.fx(0, 1, 0, 0xE, 0xE2).fx(0, 1, 1, 0xE, 0xE1);
    const std::vector<uint8_t> image = b.build();
    const std::vector<TimelineRow> ours = our_timeline(image, 100);
    const std::vector<TimelineRow> peer = peer_timeline(image, 100);
    ASSERT_GT(ours.size(), 2u);
    ASSERT_GT(peer.size(), 2u);
    EXPECT_EQ(ours[1].ticks, 18);
    EXPECT_EQ(peer[1].ticks, 12);
}

}  // namespace
