// Both programs in a real window on a real X server (Xvfb): they open a
// window of their size titled "Kirmavo", run frames, end with status 0 on
// Escape, and end by themselves once the music has passed its last position,
// with a sound device or without one.
#include "tests/e2e/process.h"
#include "tests/e2e/test_data.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

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

class OnXvfb : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        xvfb_path_ = find_tool("Xvfb");
        xdotool_ = find_tool("xdotool");
        import_ = find_tool("import");
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
        ASSERT_FALSE(display_.empty()) << "Xvfb did not start";
    }

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

    void run_and_escape(const std::vector<std::string>& args, int width, int height)
    {
        Child demo = start(args, data_dir_, "dummy");
        const std::string id = wait_for_window();
        if (id.empty()) {
            kill(demo.pid, SIGKILL);
            process_wait(demo, 5000);
            FAIL() << "no window titled Kirmavo appeared: " << demo.errors;
        }
        EXPECT_EQ(window_size(id), std::make_pair(width, height));
        // Let it run some frames, then look at the screen.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        if (!import_.empty()) {
            const std::string shot = data_dir_ + "/shot.png";
            run_tool({import_, "-window", "root", shot}, display_);
            EXPECT_GT(fs::file_size(shot), 0u);
        }
        run_tool({xdotool_, "windowfocus", "--sync", id}, display_);
        run_tool({xdotool_, "key", "Escape"}, display_);
        EXPECT_EQ(process_wait(demo, 20000), 0) << demo.errors;
    }

    // Starts a program in `dir` on this server; `audio` is an SDL audio driver.
    Child start(const std::vector<std::string>& args, const std::string& dir, const std::string& audio,
                const std::vector<std::string>& env = {})
    {
        std::vector<std::string> all = {"DISPLAY=" + display_, "SDL_AUDIODRIVER=" + audio};
        all.insert(all.end(), env.begin(), env.end());
        return process_start(args, dir, all);
    }

    static std::string xvfb_path_, xdotool_, import_, display_, data_dir_, quick_dir_;
    static Child server_;
};

std::string OnXvfb::xvfb_path_, OnXvfb::xdotool_, OnXvfb::import_, OnXvfb::display_, OnXvfb::data_dir_,
    OnXvfb::quick_dir_;
Child OnXvfb::server_;

TEST_F(OnXvfb, DemoOpensA320x240WindowAndEndsOnEscape) { run_and_escape({DEMO_PATH, "-w"}, 320, 240); }

TEST_F(OnXvfb, Demo2xOpensA640x480WindowAndEndsOnEscape)
{
    run_and_escape({DEMO2X_PATH, "x", "-w"}, 640, 480);
}

TEST_F(OnXvfb, AProgramNamedWithATrailingWNeedsNoSwitch)
{
    const std::string link = data_dir_ + "/demow";
    fs::create_symlink(DEMO_PATH, link);
    run_and_escape({link}, 320, 240);
    fs::remove(link);
}

}  // namespace

TEST_F(OnXvfb, TheShowEndsByItselfAfterTheLastPositionIsHeard)
{
    // "disk" is a device that plays into a file in real time; "none" is no
    // driver at all, so the music runs from the wall clock, unheard.
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
                std::ifstream in(capture, std::ios::binary);
                std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
                size_t loud = 0;
                for (size_t i = 0; i + 1 < bytes.size(); i += 2)
                    loud += std::abs(int16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8)) > 1000;
                EXPECT_GT(loud, 10000u);
            }
        }
    }
}

TEST_F(OnXvfb, HoldingSpaceFastForwardsToTheEnd)
{
    // 107 s of music; fast-forward runs it 25 times faster.
    Child demo = start({DEMO_PATH, "-w"}, data_dir_, "none");
    const std::string id = wait_for_window();
    ASSERT_FALSE(id.empty());
    run_tool({xdotool_, "windowfocus", "--sync", id}, display_);
    run_tool({xdotool_, "keydown", "space"}, display_);
    const int status = process_wait(demo, 40000);
    run_tool({xdotool_, "keyup", "space"}, display_);
    EXPECT_EQ(status, 0) << demo.errors;
}

// The demo's own data, generated by the build: what the device receives over
// the whole song is, sample for sample, what modrender renders of it.
TEST_F(OnXvfb, TheDevicePlaysExactlyWhatModrenderRenders)
{
    const std::string capture = quick_dir_ + "/show.raw", wav = quick_dir_ + "/show.wav";
    // With no delay the disk device takes buffers as fast as they are made.
    Child demo = start({DEMO2X_PATH, "-w"}, SHOW_DIR, "disk",
                       {"SDL_DISKAUDIOFILE=" + capture, "SDL_DISKAUDIODELAY=0"});
    ASSERT_EQ(process_wait(demo, 120000), 0) << demo.errors;
    ASSERT_EQ(process_run({MODRENDER_PATH, "-o", wav, std::string(SHOW_DIR) + "/data/music.mod"}, "/"), 0);

    auto read = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<char>((std::istreambuf_iterator<char>(in)), {});
    };
    const std::vector<char> played = read(capture), rendered = read(wav);
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
