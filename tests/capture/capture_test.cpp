// capture as a user runs it: in the build directory, on the show's own data.
#include "tests/capture/stamps.h"
#include "tests/content/read_png.h"
#include "tests/e2e/process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr int TIMEOUT_MS = 540000;  // a whole show under the sanitizers

std::string bytes_of(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The WAV's samples, after its 44-byte header.
std::string samples_of(const std::string& path)
{
    const std::string wav = bytes_of(path);
    return wav.size() < 44 ? std::string() : wav.substr(44);
}

uint64_t fnv1a(const void* data, size_t size, uint64_t hash = 0xCBF29CE484222325ull)
{
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; i++)
        hash = (hash ^ p[i]) * 0x100000001B3ull;
    return hash;
}

std::string hex(uint64_t v)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
    return text;
}

struct CaptureRun {
    int status = -1;
    std::string errors;
};

CaptureRun capture(const std::vector<std::string>& args)
{
    std::vector<std::string> all = {CAPTURE_PATH};
    all.insert(all.end(), args.begin(), args.end());
    Child child = process_start(all, SHOW_DIR);
    CaptureRun r;
    r.status = process_wait(child, TIMEOUT_MS);
    r.errors = child.errors;
    return r;
}

std::string frame_path(const std::string& dir, int64_t k)
{
    char name[32];
    std::snprintf(name, sizeof name, "/frame_%06lld.png", static_cast<long long>(k));
    return dir + name;
}

// Frame numbers written into a directory, in order.
std::vector<int64_t> frames_in(const std::string& dir)
{
    std::vector<int64_t> ks;
    for (const auto& entry : fs::directory_iterator(dir))
        ks.push_back(std::stoll(entry.path().filename().string().substr(6)));
    std::sort(ks.begin(), ks.end());
    return ks;
}

// One capture of the whole show at 60 fps, shared by the checks of its
// length and its sound: the soundtrack, and the frames of the last 3 s.
class WholeShow : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = fs::temp_directory_path() / ("capture-" + std::to_string(getpid()));
        fs::create_directories(dir_);
        const CaptureRun r =
            capture({"--wav", dir_ + "/show.wav", "--from", "104000", "--frames", dir_ + "/end"});
        status_ = r.status;
        errors_ = r.errors;
    }
    static void TearDownTestSuite() { fs::remove_all(dir_); }
    void SetUp() override { ASSERT_EQ(status_, 0) << errors_; }

    static std::string dir_, errors_;
    static int status_;
};

std::string WholeShow::dir_, WholeShow::errors_;
int WholeShow::status_ = -1;

TEST_F(WholeShow, SoundtrackIsWhatModrenderRenders)
{
    const std::string wav = dir_ + "/modrender.wav";
    ASSERT_EQ(process_run({MODRENDER_PATH, "-o", wav, std::string(SHOW_DIR) + "/data/music.mod"}, "/"), 0);
    const std::string ours = samples_of(dir_ + "/show.wav"), rendered = samples_of(wav);
    // Whole 4096-frame buffers, past the end of the show (about 107 s).
    EXPECT_EQ(ours.size() % (4096 * 4), 0u);
    EXPECT_GT(ours.size(), size_t(44100) * 4 * 100);
    ASSERT_LE(ours.size(), rendered.size());
    EXPECT_TRUE(ours == rendered.substr(0, ours.size()));
}

// The row stamps predicted from modrender's renderer (stamps_test.cpp checks
// them against the player's own) say when 1363 is first heard; the last
// frame is the first one drawn after that.
TEST_F(WholeShow, EndsOnTheFirstFramePastTheLastPosition)
{
    const int64_t stamp = predicted_row_stamps()[13 * 64 + 63];
    ASSERT_GT(stamp, 100000);
    int64_t last = 0;
    while (last * 1000 / 60 <= stamp)
        last++;
    const std::vector<int64_t> ks = frames_in(dir_ + "/end");
    ASSERT_FALSE(ks.empty());
    EXPECT_EQ(ks.back(), last);
    EXPECT_EQ(ks.front(), (104000 * 60 + 999) / 1000);
    EXPECT_EQ(int64_t(ks.size()), ks.back() - ks.front() + 1) << "a frame is missing";
}

TEST(Capture, AtGivesTheFramesOfAFullRunAndTwoRunsAgree)
{
    const std::string dir = fs::temp_directory_path() / ("capture-at-" + std::to_string(getpid()));
    ASSERT_EQ(capture({"--from", "7900", "--to", "8100", "--frames", dir + "/range"}).status, 0);
    for (const char* run : {"/a", "/b"})
        ASSERT_EQ(capture({"--at", "8000,2000", "--frames", dir + run, "--wav", dir + run + ".wav"}).status,
                  0);
    // 8000 ms is frame 480 exactly; 2000 ms is frame 120.
    EXPECT_EQ(frames_in(dir + "/a"), (std::vector<int64_t>{120, 480}));
    EXPECT_EQ(bytes_of(frame_path(dir + "/a", 480)), bytes_of(frame_path(dir + "/range", 480)));
    for (int64_t k : {120, 480})
        EXPECT_EQ(bytes_of(frame_path(dir + "/a", k)), bytes_of(frame_path(dir + "/b", k))) << k;
    EXPECT_EQ(bytes_of(dir + "/a.wav"), bytes_of(dir + "/b.wav"));
    fs::remove_all(dir);
}

TEST(Capture, DoubleWritesEveryPixelAsATwoByTwoBlock)
{
    const std::string dir = fs::temp_directory_path() / ("capture-double-" + std::to_string(getpid()));
    ASSERT_EQ(capture({"--at", "3000,9500", "--frames", dir + "/plain"}).status, 0);
    ASSERT_EQ(capture({"--at", "3000,9500", "--frames", dir + "/double", "--double"}).status, 0);
    for (int64_t k : {180, 570}) {
        const PngFile plain = read_png(frame_path(dir + "/plain", k));
        const PngFile doubled = read_png(frame_path(dir + "/double", k));
        ASSERT_TRUE(plain.ok && doubled.ok);
        EXPECT_EQ(plain.colour_type, 2) << "frames are 8-bit RGB";
        ASSERT_EQ(doubled.width, 640);
        ASSERT_EQ(doubled.height, 480);
        int wrong = 0;
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++)
                wrong += doubled.at(x, y) != plain.at(x / 2, y / 2);
        EXPECT_EQ(wrong, 0) << "frame " << k;
    }
    fs::remove_all(dir);
}

TEST(Capture, VideoIsH264At1280x960WithAac)
{
    const std::string dir = fs::temp_directory_path() / ("capture-video-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string video = dir + "/show.mp4";
    const CaptureRun r = capture({"--from", "1000", "--to", "2500", "--video", video});
    ASSERT_EQ(r.status, 0) << r.errors;
    std::string streams;
    ASSERT_EQ(process_run({"/usr/bin/ffprobe", "-v", "error", "-show_entries",
                           "stream=codec_name,width,height", "-of", "csv=p=0", video},
                          "/", {}, &streams),
              0);
    EXPECT_NE(streams.find("h264,1280,960"), std::string::npos) << streams;
    EXPECT_NE(streams.find("aac"), std::string::npos) << streams;
    fs::remove_all(dir);
}

TEST(Capture, RefusesBadArgumentsAndAMissingDataDirectory)
{
    EXPECT_EQ(capture({"--fps", "0"}).status, 2);
    EXPECT_EQ(capture({"--at", "12,x"}).status, 2);
    const std::string empty = fs::temp_directory_path() / ("capture-empty-" + std::to_string(getpid()));
    fs::create_directories(empty);
    std::string output;
    EXPECT_EQ(process_run({CAPTURE_PATH}, empty, {}, &output), 1);
    EXPECT_EQ(output, "Couldn't open pic: pic00.png");
    fs::remove_all(empty);
}

// Every instant of the golden file, drawn in one run at 60 fps, and the
// whole show's soundtrack.
TEST(Capture, GoldenFramesAndSoundtrack)
{
    std::ifstream in(GOLDEN_PATH);
    ASSERT_TRUE(in) << GOLDEN_PATH;
    std::map<int64_t, std::string> frames;
    std::string sound, line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string key, hash;
        words >> key >> hash;
        if (key == "soundtrack")
            sound = hash;
        else
            frames[std::stoll(key)] = hash;
    }
    const std::string dir = fs::temp_directory_path() / ("capture-golden-" + std::to_string(getpid()));
    std::string at;
    for (const auto& [ms, hash] : frames)
        at += (at.empty() ? "" : ",") + std::to_string(ms);
    std::vector<std::string> args = {"--wav", dir + "/show.wav"};
    if (!at.empty())
        args.insert(args.end(), {"--at", at, "--frames", dir});
    fs::create_directories(dir);
    const CaptureRun r = capture(args);
    ASSERT_EQ(r.status, 0) << r.errors;

    std::string now = "";
    bool same = true;
    for (const auto& [ms, hash] : frames) {
        const int64_t k = (ms * 60 + 999) / 1000;
        const PngFile png = read_png(frame_path(dir, k));
        ASSERT_TRUE(png.ok) << ms;
        const std::string h = hex(fnv1a(png.argb.data(), png.argb.size() * 4));
        same = same && h == hash;
        now += std::to_string(ms) + " " + h + "\n";
    }
    const std::string samples = samples_of(dir + "/show.wav");
    const std::string h = hex(fnv1a(samples.data(), samples.size()));
    same = same && h == sound;
    now += "soundtrack " + h + "\n";
    EXPECT_TRUE(same) << "new frames are in " << dir << "; once they are right, the golden lines are:\n"
                      << now;
    if (same)
        fs::remove_all(dir);
}

}  // namespace
