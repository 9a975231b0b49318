// capture as a user runs it: in the build directory, on the show's own data.
#include "tests/capture/stamps.h"
#include "tests/content/read_png.h"
#include "tests/support/process.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr int TIMEOUT_MS = 540000;  // a whole show under the sanitizers

// The WAV's samples, after its 44-byte header.
std::string samples_of(const std::string& path)
{
    const std::string wav = read_file<std::string>(path);
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

// The soundtrack starts under the first frame written (--from) and ends
// with the last whole buffer made, past the end of the show (about 107 s).
TEST_F(WholeShow, SoundtrackIsWhatModrenderRenders)
{
    const std::string wav = dir_ + "/modrender.wav";
    ASSERT_EQ(process_run({MODRENDER_PATH, "-o", wav, std::string(SHOW_DIR) + "/data/music.mod"}, "/"), 0);
    const std::string ours = samples_of(dir_ + "/show.wav"), rendered = samples_of(wav);
    const size_t start = size_t(104000 * 60 / 1000) * 735 * 4;  // frame 6240, 735 stereo frames each
    EXPECT_EQ((start + ours.size()) % (4096 * 4), 0u);
    EXPECT_GT(start + ours.size(), size_t(44100) * 4 * 107);
    ASSERT_LE(start + ours.size(), rendered.size());
    EXPECT_TRUE(ours == rendered.substr(start, ours.size()));
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
    for (const char* run : {"/a", "/b"}) {
        ASSERT_EQ(capture({"--at", "8000,2000", "--frames", dir + run}).status, 0);
        ASSERT_EQ(capture({"--to", "2000", "--wav", dir + run + ".wav"}).status, 0);
    }
    // 8000 ms is frame 480 exactly; 2000 ms is frame 120.
    EXPECT_EQ(frames_in(dir + "/a"), (std::vector<int64_t>{120, 480}));
    EXPECT_EQ(read_file(frame_path(dir + "/a", 480)), read_file(frame_path(dir + "/range", 480)));
    for (int64_t k : {120, 480})
        EXPECT_EQ(read_file(frame_path(dir + "/a", k)), read_file(frame_path(dir + "/b", k))) << k;
    EXPECT_EQ(read_file(dir + "/a.wav"), read_file(dir + "/b.wav"));
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

TEST(Capture, RefusesAMissingDataDirectory)
{
    const std::string empty = fs::temp_directory_path() / ("capture-empty-" + std::to_string(getpid()));
    fs::create_directories(empty);
    std::string output;
    EXPECT_EQ(process_run({CAPTURE_PATH}, empty, {}, &output), 1);
    EXPECT_EQ(output, "Couldn't open pic: pic00.png");
    fs::remove_all(empty);
}

// A folder of its own for a test, with the show's data linked in.
std::string scratch(const std::string& name)
{
    const std::string dir = fs::temp_directory_path() / ("capture-" + name + "-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir + "/data");
    for (const auto& entry : fs::directory_iterator(std::string(SHOW_DIR) + "/data"))
        fs::create_symlink(entry.path(), dir + "/data/" + entry.path().filename().string());
    return dir;
}

// Files capture left in a folder under its temporary names.
int leftovers(const std::string& dir)
{
    int n = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        n += entry.path().filename().string().rfind(".capture-", 0) == 0;
    return n;
}

// Every failure ends with "capture: <file>: <reason>" (or the refusal of the
// arguments), its status, and no file under the name asked for nor under a
// temporary one. Paths are relative to the case's own folder.
TEST(Capture, FailuresSayWhyAndLeaveNothingBehind)
{
    const std::string dir = scratch("fail");
    std::ofstream(dir + "/bad.mod") << std::string(2000, 'x');
    fs::create_directories(dir + "/folder");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string words;  // in the message
        std::string left;   // must not exist afterwards ("" for none)
        std::string data;   // replaces one data file ("" for none)
        std::string with;   // ... with this file ("" to remove it)
    } cases[] = {
        {{"--wav", "/nonexistent/x.wav"}, 1, "/nonexistent/x.wav: No such file", "", "", ""},
        {{"--to", "300", "--wav", "/dev/full"}, 1, "/dev/full: No space left", "", "", ""},
        {{"--to", "300", "--wav", "folder"}, 1, "folder: Is a directory", "", "", ""},
        {{"--to", "300", "--frames", "/dev/null/x"}, 1, "/dev/null/x: cannot make the folder", "", "", ""},
        {{"--to", "300", "--video", "v.unknown"}, 1, "v.unknown: ffmpeg failed (exit status", "v.unknown", "", ""},
        {{"--to", "300", "--video", "/nonexistent/v.mp4"}, 1, "No such file", "", "", ""},
        {{"--at", "100", "--video", "v.mp4"}, 2, "--at", "v.mp4", "", ""},
        {{"--fps", "5000", "--wav", "x.wav"}, 2, "1 to 1000", "x.wav", "", ""},
        {{"--at", "5000,200000,300000", "--frames", "at"}, 1, "never reached: 200000,300000", "", "", ""},
        {{"--wav", "x.wav"}, 1, "data/music.mod: ", "x.wav", "music.mod", "bad.mod"},
        {{"--wav", "x.wav"}, 1, "data/music.mod: No such file", "x.wav", "music.mod", ""},
        {{"--wav", "x.wav"}, 1, "data/mesh.bare: No such file", "x.wav", "mesh.bare", ""},
        {{"--wav", "x.wav"}, 1, "data/mesh.bare: a count or a vertex index", "x.wav", "mesh.bare", "bad.mod"},
    };
    for (const auto& c : cases) {
        const std::string link = dir + "/data/" + c.data;
        if (!c.data.empty()) {
            fs::remove(link);
            if (!c.with.empty())
                fs::create_symlink(dir + "/" + c.with, link);
        }
        std::vector<std::string> args = {CAPTURE_PATH};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::string errors;
        const int status = process_run(args, dir, {}, nullptr, &errors);
        const std::string what = c.args.back() + (c.data.empty() ? "" : " with data/" + c.data + " changed");
        EXPECT_EQ(status, c.status) << what << ": " << errors;
        EXPECT_NE(errors.find(c.words), std::string::npos) << what << ": " << errors;
        EXPECT_NE(("\n" + errors).find("\ncapture: "), std::string::npos) << what << ": " << errors;
        if (!c.left.empty()) {
            EXPECT_FALSE(fs::exists(dir + "/" + c.left)) << what;
        }
        EXPECT_EQ(leftovers(dir), 0) << what;
        if (!c.data.empty()) {
            fs::remove(link);
            fs::create_symlink(std::string(SHOW_DIR) + "/data/" + c.data, link);
        }
    }
    fs::remove_all(dir);
}

// SIGTERM in the middle: capture finishes what it made and says so by its
// status; every file is whole, none is left under a temporary name.
TEST(Capture, AnInterruptedRunLeavesNoBrokenFile)
{
    const std::string dir = scratch("term");
    Child child = process_start({CAPTURE_PATH, "--wav", "s.wav", "--video", "s.mp4", "--frames", "f"}, dir);
    for (int i = 0; i < 3000 && !(fs::exists(dir + "/f") && !fs::is_empty(dir + "/f")); i++)
        usleep(10000);
    usleep(300000);
    kill(child.pid, SIGTERM);
    ASSERT_EQ(process_wait(child, TIMEOUT_MS), 143) << child.errors;
    EXPECT_EQ(leftovers(dir), 0);

    const std::string wav = read_file<std::string>(dir + "/s.wav");
    ASSERT_GT(wav.size(), 44u);
    EXPECT_EQ(le32(wav, 40), wav.size() - 44) << "the header tells the true length";
    EXPECT_EQ(le32(wav, 4), wav.size() - 8);
    // The video holds every frame written as a picture.
    std::string frames;
    ASSERT_EQ(process_run({"/usr/bin/ffprobe", "-v", "error", "-select_streams", "v", "-show_entries",
                           "stream=nb_frames", "-of", "csv=p=0", dir + "/s.mp4"},
                          "/", {}, &frames),
              0);
    EXPECT_GT(frames_in(dir + "/f").size(), 0u);
    EXPECT_EQ(std::stoul(frames), frames_in(dir + "/f").size());
    for (int64_t k : frames_in(dir + "/f"))
        EXPECT_TRUE(read_png(frame_path(dir + "/f", k)).ok) << k;
    fs::remove_all(dir);
}

// A pipe can't seek back to fill in the sizes: they say "to the end".
TEST(Capture, AWavToAPipeHasTheStreamingHeader)
{
    std::string wav;
    ASSERT_EQ(process_run({CAPTURE_PATH, "--to", "500", "--wav", "/dev/stdout"}, SHOW_DIR, {}, &wav), 0);
    ASSERT_GT(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(le32(wav, 4), 0xFFFFFFFFu);
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(le32(wav, 40), 0xFFFFFFFFu);
    EXPECT_EQ((wav.size() - 44) % (4096 * 4), 0u) << "whole buffers of sound";
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
    // The soundtrack line is the sound of a run to the last instant: every
    // buffer made by then.
    ASSERT_FALSE(frames.empty());
    fs::create_directories(dir);
    const CaptureRun sound_run =
        capture({"--wav", dir + "/show.wav", "--to", std::to_string(frames.rbegin()->first)});
    ASSERT_EQ(sound_run.status, 0) << sound_run.errors;
    const CaptureRun r = capture({"--at", at, "--frames", dir});
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
