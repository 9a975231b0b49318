// capture's command line: what it takes, and the reason it gives for what it
// doesn't.
#include "tools/capture/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string parse(std::vector<const char*> args, CaptureOptions& o)
{
    args.insert(args.begin(), "capture");
    return capture_parse(int(args.size()), args.data(), o);
}

TEST(CaptureOptions, TakesEveryOptionAndSortsTheTimes)
{
    CaptureOptions o;
    ASSERT_EQ(parse({"--fps", "1000", "--frames", "f", "--at", "9,0,5", "--from", "3", "--to", "7",
                     "--double"},
                    o),
              "");
    EXPECT_EQ(o.fps, 1000);
    EXPECT_STREQ(o.frames_dir, "f");
    EXPECT_EQ(o.at, (std::vector<int64_t>{0, 5, 9}));
    EXPECT_EQ(o.from, 3);
    EXPECT_EQ(o.to, 7);
    EXPECT_TRUE(o.doubled);

    CaptureOptions sound;
    ASSERT_EQ(parse({"--wav", "-x.wav", "--video", "v.mp4", "--fps", "1"}, sound), "");
    EXPECT_STREQ(sound.wav, "-x.wav") << "a value may start with '-'";
    EXPECT_STREQ(sound.video, "v.mp4");
    EXPECT_EQ(sound.fps, 1);
}

// Each refusal, and a word its reason must hold.
TEST(CaptureOptions, RefusesWithAReason)
{
    const struct {
        std::vector<const char*> args;
        const char* word;
    } cases[] = {
        {{"--fps", "0"}, "1 to 1000"},
        {{"--fps", "1001"}, "1 to 1000"},
        {{"--fps", "6x"}, "1 to 1000"},
        {{"--fps"}, "needs a value"},
        {{"--at", "12,x"}, "--at 12,x"},
        {{"--at", "12,,13"}, "--at"},
        {{"--at", "-5"}, "--at"},
        {{"--from", "99999999999999999999"}, "--from"},
        {{"--to", ""}, "--to"},
        {{"--from", "10", "--to", "9"}, "later than --to"},
        {{"--at", "100", "--wav", "x.wav"}, "can't go with --wav or --video"},
        {{"--video", "v.mp4", "--at", "100"}, "can't go with --wav or --video"},
        {{"--wide"}, "unknown argument --wide"},
        {{"frames"}, "unknown argument frames"},
    };
    for (const auto& c : cases) {
        CaptureOptions o;
        const std::string why = parse(c.args, o);
        EXPECT_NE(why.find(c.word), std::string::npos) << c.args[0] << ": \"" << why << "\"";
    }
}

}  // namespace
