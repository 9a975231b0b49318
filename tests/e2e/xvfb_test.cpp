// Both programs in a real window on a real X server (Xvfb), on each of the two
// SDL 1.2 libraries they meet: the classic one they are linked against, and
// the compatibility library over SDL 2, put in its place through
// LD_LIBRARY_PATH. On each, they open a window of their size titled
// "Kirmavo", show what capture draws at the same clock reading, end with
// status 0 on Escape, end at once on the quit signal, and end by themselves
// once the music has passed its last position, with a sound device or
// without one.
#include "tests/support/process.h"
#include "tests/support/test_files.h"
#include "tests/e2e/test_data.h"

#include <gtest/gtest.h>
#include <png.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string_view>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string run_tool(const std::vector<std::string>& args, const std::string& display)
{
    std::string output;
    process_run(args, "/", {"DISPLAY=" + display}, &output);
    return output;
}

std::string find_tool(const char* name)
{
    for (const char* dir : {"/usr/bin", "/usr/local/bin", "/bin"}) {
        const std::string path = std::string(dir) + "/" + name;
        if (access(path.c_str(), X_OK) == 0)
            return path;
    }
    return {};
}

// The folder holding the compatibility library's libSDL-1.2.so.0, from the
// package's file list; empty when the package is not installed.
std::string find_compat_dir()
{
    std::string list;
    process_run({find_tool("dpkg"), "-L", "libsdl1.2-compat"}, "/", {}, &list);
    std::istringstream lines(list);
    for (std::string line; std::getline(lines, line);)
        if (line.ends_with("/libSDL-1.2.so.0"))
            return fs::path(line).parent_path().string();
    return {};
}

// The file the running process `pid` has mapped as its SDL 1.2 library.
std::string mapped_sdl(pid_t pid)
{
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    for (std::string line; std::getline(maps, line);)
        if (const size_t at = line.find('/');
            at != std::string::npos && line.find("libSDL-1.2.so") != std::string::npos)
            return line.substr(at);
    return {};
}

struct Rgb {
    int width = 0, height = 0;
    std::vector<uint8_t> bytes;  // 3 a pixel, rows without padding
    uint32_t at(int x, int y) const
    {
        const uint8_t* p = &bytes[(size_t(y) * size_t(width) + size_t(x)) * 3];
        return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
};

// Any PNG, as 8-bit RGB; empty on failure.
Rgb read_rgb(const std::string& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return {};
    image.format = PNG_FORMAT_RGB;
    Rgb rgb{int(image.width), int(image.height), std::vector<uint8_t>(PNG_IMAGE_SIZE(image))};
    if (!png_image_finish_read(&image, nullptr, rgb.bytes.data(), 0, nullptr))
        return {};
    return rgb;
}

int64_t ms_between(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

// The parameter: which SDL 1.2 library the programs run on.
constexpr const char* CLASSIC = "classic";
constexpr const char* COMPAT = "compat";

class OnXvfb : public testing::TestWithParam<const char*> {
protected:
    static void SetUpTestSuite()
    {
        xvfb_path_ = find_tool("Xvfb");
        xdotool_ = find_tool("xdotool");
        import_ = find_tool("import");
        compat_dir_ = find_compat_dir();
        if (xvfb_path_.empty() || xdotool_.empty())
            return;
        // Xvfb picks a free display itself and writes its number on stdout,
        // so runs side by side never share a server.
        server_ = process_start(
            {xvfb_path_, "-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp", "-noreset"},
            "/");
        for (int i = 0; i < 1000 && process_output(server_).find('\n') == std::string::npos; i++)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const std::string& number = process_output(server_);
        if (number.find('\n') != std::string::npos)
            display_ = ":" + number.substr(0, number.find('\n'));
        data_dir_ = test_make_dir();
        test_write_data(data_dir_);
        quick_dir_ = test_make_dir();
        test_write_data(quick_dir_, TestSong::quick);
    }

    static void TearDownTestSuite()
    {
        if (server_.pid > 0) {
            kill(server_.pid, SIGTERM);
            process_wait(server_, 5000);
        }
        if (!data_dir_.empty())
            fs::remove_all(data_dir_);
        if (!quick_dir_.empty())
            fs::remove_all(quick_dir_);
    }

    void SetUp() override
    {
        if (xvfb_path_.empty() || xdotool_.empty())
            GTEST_SKIP() << "Xvfb and xdotool are needed (the README's test command installs them)";
        if (compat() && compat_dir_.empty())
            GTEST_SKIP() << "libsdl1.2-compat is needed (the README's test command installs it)";
        ASSERT_FALSE(display_.empty()) << "Xvfb did not start";
    }

    bool compat() const { return std::string_view(GetParam()) == COMPAT; }

    // The id of the window titled exactly "Kirmavo", once it is mapped.
    std::string wait_for_window()
    {
        for (int i = 0; i < 500; i++) {
            std::string id = run_tool({xdotool_, "search", "--onlyvisible", "--name", "^Kirmavo$"}, display_);
            if (!id.empty())
                return id.substr(0, id.find('\n'));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return {};
    }

    std::pair<int, int> window_size(const std::string& id)
    {
        std::istringstream shell(run_tool({xdotool_, "getwindowgeometry", "--shell", id}, display_));
        int width = 0, height = 0;
        for (std::string line; std::getline(shell, line);) {
            if (line.rfind("WIDTH=", 0) == 0)
                width = std::stoi(line.substr(6));
            if (line.rfind("HEIGHT=", 0) == 0)
                height = std::stoi(line.substr(7));
        }
        return {width, height};
    }

    // The program runs on the library this test is about.
    void expect_library(const Child& demo)
    {
        const std::string library = mapped_sdl(demo.pid);
        ASSERT_FALSE(library.empty()) << "no SDL 1.2 library mapped";
        const bool in_compat_dir = !compat_dir_.empty() && library.starts_with(compat_dir_ + "/");
        EXPECT_EQ(in_compat_dir, compat()) << library;
    }

    void kill_and_fail(Child& demo, const char* what)
    {
        kill(demo.pid, SIGKILL);
        process_wait(demo, 5000);
        FAIL() << what << ": " << demo.errors;
    }

    void escape(Child& demo, const std::string& id)
    {
        run_tool({xdotool_, "windowfocus", "--sync", id}, display_);
        run_tool({xdotool_, "key", "Escape"}, display_);
        EXPECT_EQ(process_wait(demo, 20000), 0) << demo.errors;
    }

    void run_and_escape(const std::vector<std::string>& args, int width, int height)
    {
        Child demo = start(args, data_dir_, "dummy");
        const std::string id = wait_for_window();
        if (id.empty())
            return kill_and_fail(demo, "no window titled Kirmavo appeared");
        expect_library(demo);
        EXPECT_EQ(window_size(id), std::make_pair(width, height));
        // Some frames, then the key.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        escape(demo, id);
    }

    // Starts a program in `dir` on this server and this library; `audio` is
    // an SDL audio driver.
    Child start(const std::vector<std::string>& args, const std::string& dir, const std::string& audio,
                const std::vector<std::string>& env = {})
    {
        std::vector<std::string> all = {"DISPLAY=" + display_, "SDL_AUDIODRIVER=" + audio};
        if (compat())
            all.push_back("LD_LIBRARY_PATH=" + compat_dir_);
        all.insert(all.end(), env.begin(), env.end());
        return process_start(args, dir, all);
    }

    static std::string xvfb_path_, xdotool_, import_, compat_dir_, display_, data_dir_, quick_dir_;
    static Child server_;
};

std::string OnXvfb::xvfb_path_, OnXvfb::xdotool_, OnXvfb::import_, OnXvfb::compat_dir_, OnXvfb::display_,
    OnXvfb::data_dir_, OnXvfb::quick_dir_;
Child OnXvfb::server_;

INSTANTIATE_TEST_SUITE_P(Sdl, OnXvfb, testing::Values(CLASSIC, COMPAT),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

TEST_P(OnXvfb, DemoOpensA320x240WindowAndEndsOnEscape) { run_and_escape({DEMO_PATH, "-w"}, 320, 240); }

TEST_P(OnXvfb, Demo2xOpensA640x480WindowAndEndsOnEscape)
{
    run_and_escape({DEMO2X_PATH, "x", "-w"}, 640, 480);
}

TEST_P(OnXvfb, AProgramNamedWithATrailingWNeedsNoSwitch)
{
    const std::string link = data_dir_ + "/demow-" + GetParam();
    fs::create_symlink(DEMO_PATH, link);
    run_and_escape({link}, 320, 240);
    fs::remove(link);
}

TEST_P(OnXvfb, TheShowEndsByItselfAfterTheLastPositionIsHeard)
{
    // "disk" is a device that plays into a file in real time; "none" is no
    // driver at all, so the show falls back to running the music from the
    // clock, unheard.
    for (const char* audio : {"disk", "none"}) {
        for (const char* program : {DEMO_PATH, DEMO2X_PATH}) {
            SCOPED_TRACE(std::string(program) + " with audio " + audio);
            const std::string capture = quick_dir_ + "/sound.raw";
            fs::remove(capture);
            Child demo = start({program, "-w"}, quick_dir_, audio, {"SDL_DISKAUDIOFILE=" + capture});
            EXPECT_EQ(process_wait(demo, 30000), 0) << demo.errors;
            if (std::string(audio) == "disk") {
                // The last entry's tone reached the device.
                ASSERT_TRUE(fs::exists(capture));
                const std::vector<uint8_t> bytes = read_file(capture);
                size_t loud = 0;
                for (size_t i = 0; i + 1 < bytes.size(); i += 2)
                    loud += std::abs(int16_t(le16(bytes, i))) > 1000;
                EXPECT_GT(loud, 10000u);
            } else {
                EXPECT_FALSE(fs::exists(capture));
            }
        }
    }
}

TEST_P(OnXvfb, HoldingSpaceFastForwardsToTheEnd)
{
    // 107 s of music; fast-forward runs it 25 times faster.
    Child demo = start({DEMO_PATH, "-w"}, data_dir_, "none");
    const std::string id = wait_for_window();
    if (id.empty())
        return kill_and_fail(demo, "no window titled Kirmavo appeared");
    run_tool({xdotool_, "windowfocus", "--sync", id}, display_);
    run_tool({xdotool_, "keydown", "space"}, display_);
    const int status = process_wait(demo, 40000);
    run_tool({xdotool_, "keyup", "space"}, display_);
    EXPECT_EQ(status, 0) << demo.errors;
}

TEST_P(OnXvfb, TheQuitSignalEndsTheDemoAtOnce)
{
    // SIGQUIT keeps its default action: the process ends at once (with a
    // core where they are enabled; not for this test's child).
    rlimit core{};
    getrlimit(RLIMIT_CORE, &core);
    const rlimit no_core{0, core.rlim_max};
    setrlimit(RLIMIT_CORE, &no_core);
    Child demo = start({DEMO_PATH, "-w"}, data_dir_, "dummy");
    setrlimit(RLIMIT_CORE, &core);
    if (wait_for_window().empty())
        return kill_and_fail(demo, "no window titled Kirmavo appeared");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(demo.pid, SIGQUIT);
    EXPECT_EQ(process_wait(demo, 3000), 128 + SIGQUIT) << demo.errors;
}

// What reaches the screen, pixel for pixel, against capture. The show's own
// data with no sound device: the music then runs from the clock, as in
// capture, and both draw the scene from the same clock reading (ms since SDL
// started in the program, since playback started in capture, which differ by
// the start-up's last steps). The clock reading of the frame on the screen is
// bracketed by when the program started, when its window appeared and when
// the screenshot was taken; capture writes a frame every 10 ms across that
// bracket, and every motion of the show steps in multiples of 10 ms, so one
// of them is the frame on the screen, up to pixels that depend on random
// numbers or on how many frames came before (overlay fades, smoke).
struct Screenshot {
    Rgb image;
    int64_t from = 0, to = 0;  // ms, the bracket of the frame's clock reading
};

// Pixels of a window showing the frame `scale` times enlarged that differ
// from the top left pixel of their scale x scale block.
int32_t blurred_pixels(const Rgb& shot, int scale)
{
    int32_t blurred = 0;
    for (int y = 0; y < shot.height; y++)
        for (int x = 0; x < shot.width; x++)
            blurred += shot.at(x, y) != shot.at(x / scale * scale, y / scale * scale);
    return blurred;
}

class ScreenOnXvfb : public OnXvfb {
protected:
    void SetUp() override
    {
        OnXvfb::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (import_.empty())
            GTEST_SKIP() << "ImageMagick's import is needed (the README's test command installs it)";
        dir_ = test_make_dir();
    }

    void TearDown() override
    {
        if (dir_.empty())
            return;
        if (HasFailure())
            std::fprintf(stderr, "the screenshots and capture's frames are kept in %s\n", dir_.c_str());
        else
            fs::remove_all(dir_);
    }

    // Runs `program` in a window for a moment and takes its picture.
    Screenshot shoot(const std::string& program, const std::vector<std::string>& env = {})
    {
        const Clock::time_point started = Clock::now();
        Child demo = start({program, "-w"}, SHOW_DIR, "none", env);
        const std::string id = wait_for_window();
        const Clock::time_point shown = Clock::now();
        if (id.empty()) {
            kill_and_fail(demo, "no window titled Kirmavo appeared");
            return {};
        }
        // Into the first scene, which moves on every frame.
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        const std::string path = dir_ + "/shot-" + std::to_string(shots_++) + ".png";
        const Clock::time_point before_shot = Clock::now();
        run_tool({import_, "-window", id, path}, display_);
        const Clock::time_point after_shot = Clock::now();
        escape(demo, id);
        // Slack below for the frame's drawing and flip, slow under the
        // sanitizers and on a busy machine.
        return {read_rgb(path), std::max<int64_t>(0, ms_between(shown, before_shot) - 400),
                ms_between(started, after_shot) + 50};
    }

    // The screenshot, every `scale` pixels, is one of capture's frames.
    void expect_capture_frame(const Screenshot& shot, int scale)
    {
        ASSERT_EQ(shot.image.width, 320 * scale);
        ASSERT_EQ(shot.image.height, 240 * scale);
        const std::string frames = dir_ + "/frames-" + std::to_string(shots_);
        ASSERT_EQ(process_run({CAPTURE_PATH, "--fps", "100", "--frames", frames, "--from",
                               std::to_string(shot.from), "--to", std::to_string(shot.to)},
                              SHOW_DIR),
                  0);
        int32_t best = -1;
        std::string best_frame;
        std::set<uint32_t> colours;
        for (const auto& entry : fs::directory_iterator(frames)) {
            const Rgb frame = read_rgb(entry.path());
            ASSERT_EQ(frame.width, 320);
            int32_t same = 0;
            for (int y = 0; y < 240; y++)
                for (int x = 0; x < 320; x++)
                    same += frame.at(x, y) == shot.image.at(x * scale, y * scale);
            if (same > best) {
                best = same;
                best_frame = entry.path().filename();
                colours.clear();
                for (int y = 0; y < 240; y++)
                    for (int x = 0; x < 320; x++)
                        colours.insert(frame.at(x, y));
            }
        }
        ASSERT_GE(best, 0) << "capture wrote no frame between " << shot.from << " and " << shot.to << " ms";
        // A screen of few colours would match too easily to tell anything.
        EXPECT_GT(colours.size(), 100u) << best_frame;
        EXPECT_GE(best, 320 * 240 * 97 / 100) << "closest is " << best_frame << " of capture's frames from "
                                              << shot.from << " to " << shot.to << " ms";
        if (!HasFailure())
            fs::remove_all(frames);
    }

    std::string dir_;
    int shots_ = 0;
};

INSTANTIATE_TEST_SUITE_P(Sdl, ScreenOnXvfb, testing::Values(CLASSIC, COMPAT),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

TEST_P(ScreenOnXvfb, TheScreenShowsTheFrameCaptureDrawsAtTheSameClockReading)
{
    for (const auto& [program, scale] : {std::pair{DEMO_PATH, 1}, std::pair{DEMO2X_PATH, 2}}) {
        SCOPED_TRACE(program);
        const Screenshot shot = shoot(program);
        expect_capture_frame(shot, scale);
        EXPECT_EQ(blurred_pixels(shot.image, scale), 0);
    }
}

// The compatibility library scales the frame to the screen when full screen;
// the same scaling enlarges a window on request, where Xvfb can show it.
using CompatScreenOnXvfb = ScreenOnXvfb;

INSTANTIATE_TEST_SUITE_P(Sdl, CompatScreenOnXvfb, testing::Values(COMPAT),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

TEST_P(CompatScreenOnXvfb, ScalesWithCrispPixelsUnlessTheUserAsksOtherwise)
{
    const std::string twice = "SDL12COMPAT_WINDOW_SCALING=2";
    const Screenshot crisp = shoot(DEMO_PATH, {twice});
    expect_capture_frame(crisp, 2);
    EXPECT_EQ(blurred_pixels(crisp.image, 2), 0);

    const Screenshot smooth = shoot(DEMO_PATH, {twice, "SDL12COMPAT_SCALE_METHOD=linear"});
    ASSERT_EQ(smooth.image.width, 640);
    EXPECT_GT(blurred_pixels(smooth.image, 2), 640 * 480 / 10);
}

// The demo's own data, generated by the build: what the device receives over
// the whole song is, sample for sample, what modrender renders of it.
TEST_P(OnXvfb, TheDevicePlaysExactlyWhatModrenderRenders)
{
    const std::string capture = quick_dir_ + "/show.raw", wav = quick_dir_ + "/show.wav";
    // With no delay the disk device takes buffers as fast as they are made.
    Child demo = start({DEMO2X_PATH, "-w"}, SHOW_DIR, "disk",
                       {"SDL_DISKAUDIOFILE=" + capture, "SDL_DISKAUDIODELAY=0"});
    ASSERT_EQ(process_wait(demo, 120000), 0) << demo.errors;
    ASSERT_EQ(process_run({MODRENDER_PATH, "-o", wav, std::string(SHOW_DIR) + "/data/music.mod"}, "/"), 0);

    const std::vector<char> played = read_file<std::vector<char>>(capture),
                            rendered = read_file<std::vector<char>>(wav);
    ASSERT_GT(rendered.size(), 44u);
    const std::string_view music(rendered.data() + 44, rendered.size() - 44);
    // The device plays whole buffers of silence while it waits to be un-paused.
    const size_t buffer_bytes = 4096 * 4;
    size_t skip = 0;
    while (skip + buffer_bytes <= played.size() &&
           std::string_view(played.data() + skip, buffer_bytes) == std::string(buffer_bytes, '\0') &&
           music.substr(0, buffer_bytes) != std::string(buffer_bytes, '\0'))
        skip += buffer_bytes;
    const std::string_view heard(played.data() + skip, played.size() - skip);
    const size_t common = std::min(heard.size(), music.size());
    EXPECT_GT(common, size_t(44100) * 4 * 100) << "less than 100 s of the song reached the device";
    EXPECT_TRUE(heard.substr(0, common) == music.substr(0, common));
}

}  // namespace
