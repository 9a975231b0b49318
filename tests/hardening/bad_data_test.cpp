// The real program on damaged data, and ended by a signal. Every one of the
// 17 data files is in turn missing, emptied, cut to 7 bytes and to half,
// overwritten with random bytes, given bit flips, and replaced by a
// directory. A picture that can't be used ends start-up with its message
// and status 1, a mesh that can't be read or drawn silently with status 1,
// an unreadable module likewise; anything start-up takes must run as a show
// until SIGTERM or SIGINT ends it with status 0. No case may crash or hang.
#include "gfx/mesh/mesh_image.h"
#include "gfx/picture/picture.h"
#include "tests/support/process.h"
#include "tests/support/test_files.h"
#include "tests/e2e/test_data.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

// No display and no sound card are needed: SDL draws into memory, and the
// disk driver plays into a file as a device would, in real time.
std::vector<std::string> show_env(const std::string& dir, const char* audio)
{
    return {"SDL_VIDEODRIVER=dummy", std::string("SDL_AUDIODRIVER=") + audio,
            "SDL_DISKAUDIOFILE=" + dir + "/sound.raw"};
}

// Whether the process has exited, without reaping it.
bool exited(pid_t pid)
{
    siginfo_t info{};
    return waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid;
}

// Whether `signal` is caught: SDL's handler, or the program's own.
bool catches(pid_t pid, int signal)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1) & 1) != 0;
    return false;
}

struct DemoRun {
    int status = -1;       // exit status, 128 + signal when killed, -1 on a hang
    bool started = false;  // the show was running when the signal was sent
    std::string output, errors;
};

// Runs the demo in `dir`. A program that gets as far as running its frames
// is sent `signal` after `run_ms`; SDL takes the signal over for a moment
// while it starts, so it is sent again while the program keeps running.
DemoRun run_demo(const std::string& dir, int signal, const char* audio = "disk", int run_ms = 300)
{
    Child demo = process_start({DEMO_PATH}, dir, show_env(dir, audio));
    DemoRun run;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!exited(demo.pid) && !catches(demo.pid, signal) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (!exited(demo.pid)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(run_ms));
        run.started = !exited(demo.pid);
        for (int attempt = 0; attempt < 5 && !exited(demo.pid); attempt++) {
            kill(demo.pid, signal);
            for (int i = 0; i < 200 && !exited(demo.pid); i++)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    run.status = process_wait(demo, 10000);
    run.output = demo.output;
    run.errors = demo.errors;
    return run;
}

TEST(Signals, EndTheShowAfterAFrameWithOrWithoutADevice)
{
    const std::string dir = test_make_dir();
    test_write_data(dir);
    // "none" leaves the player on its own pump, without an audio thread.
    for (const char* audio : {"disk", "none"}) {
        for (int signal : {SIGINT, SIGTERM}) {
            SCOPED_TRACE(std::string(audio) + " " + strsignal(signal));
            const DemoRun run = run_demo(dir, signal, audio, 1000);
            EXPECT_TRUE(run.started);
            EXPECT_EQ(run.status, 0) << run.errors;
            EXPECT_EQ(run.output, "");
        }
    }
    // The device played music until the end.
    EXPECT_GT(fs::file_size(dir + "/sound.raw"), 44100u);
    fs::remove_all(dir);
}

TEST(HostilePicture, IsRefusedWithItsMessageInAFewMegabytes)
{
    const std::string dir = test_make_dir();
    fs::copy(std::string(SHOW_DIR) + "/data", dir + "/data", fs::copy_options::recursive);
    // The header of a 320x240 picture, then a text chunk whose length field
    // says 1.5 GB and whose data stops after 27 bytes: 68 bytes in all.
    std::vector<char> file = read_file<std::vector<char>>(dir + "/data/pic05.png");
    file.resize(33);
    for (uint8_t b : {0x59, 0x68, 0x2F, 0x00})
        file.push_back(char(b));
    for (char c : std::string("tEXtComment") + '\0' + std::string(19, 'x'))
        file.push_back(c);
    ASSERT_EQ(file.size(), 68u);
    write_file(dir + "/data/pic05.png", file);

    Child demo = process_start({DEMO_PATH}, dir, show_env(dir, "disk"));
    int status = 0;
    rusage usage{};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (wait4(demo.pid, &status, WNOHANG, &usage) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    process_output(demo);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(demo.output, "Couldn't open pic: pic05.png");
    // The whole start-up up to the refusal, five pictures decoded with it.
    EXPECT_LT(usage.ru_maxrss, 64 * 1024) << "kB";
    std::printf("[ peak ] start-up refusing the 68-byte picture: %ld kB\n", usage.ru_maxrss);
    fs::remove_all(dir);
}

enum class Damage { missing, empty, seven_bytes, half, random, bit_flips, directory };
constexpr std::array<Damage, 7> ALL_DAMAGE = {Damage::missing,  Damage::empty,  Damage::seven_bytes,
                                              Damage::half,     Damage::random, Damage::bit_flips,
                                              Damage::directory};
const char* name(Damage d)
{
    constexpr std::array<const char*, 7> names = {"missing", "empty",     "7 bytes",  "half",
                                                  "random",  "bit flips", "directory"};
    return names[size_t(d)];
}

// Damages `path`; what the file then holds, or nothing when there is no
// readable file.
std::optional<std::vector<char>> damage(const std::string& path, Damage d, std::mt19937& random)
{
    std::vector<char> bytes = read_file<std::vector<char>>(path);
    switch (d) {
    case Damage::missing:
        fs::remove(path);
        return std::nullopt;
    case Damage::directory:
        fs::remove(path);
        fs::create_directory(path);
        return std::nullopt;
    case Damage::empty:
        bytes.clear();
        break;
    case Damage::seven_bytes:
        bytes.resize(7);
        break;
    case Damage::half:
        bytes.resize(bytes.size() / 2);
        break;
    case Damage::random:
        for (char& b : bytes)
            b = char(random());
        break;
    case Damage::bit_flips:
        for (int i = 0; i < 16; i++)
            bytes[random() % bytes.size()] ^= char(1 << (random() % 8));
        break;
    }
    write_file(path, bytes);
    return bytes;
}

// Start-up's own reading of a mesh file: the first 10000 bytes, zero after
// a short file, words to host order.
bool mesh_accepted(const std::vector<char>& file)
{
    std::array<uint8_t, MESH_IMAGE_BYTES> image{};
    std::copy_n(file.begin(), std::min(file.size(), image.size()), image.begin());
    byte_swap_words(image.data(), MESH_IMAGE_BYTES / 4);
    return mesh_check(image);
}

class BadData : public testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite()
    {
        show_dir_ = test_make_dir();
        fs::copy(std::string(SHOW_DIR) + "/data", show_dir_ + "/data", fs::copy_options::recursive);
    }
    static void TearDownTestSuite() { fs::remove_all(show_dir_); }
    static std::string show_dir_;
};

std::string BadData::show_dir_;

std::string file_name(int file)
{
    if (file == 15)
        return "mesh.bare";
    if (file == 16)
        return "music.mod";
    char name[16];
    std::snprintf(name, sizeof name, "pic%02d.png", file);
    return name;
}

TEST_P(BadData, EveryDamageEndsAsDocumented)
{
    const int file = GetParam();
    const std::string name_of_file = file_name(file);
    std::mt19937 random(uint32_t(file) * 7919u + 1u);
    int signal = SIGTERM;
    for (Damage d : ALL_DAMAGE) {
        SCOPED_TRACE(name_of_file + ", " + name(d));
        const std::string dir = test_make_dir();
        fs::copy(show_dir_ + "/data", dir + "/data", fs::copy_options::recursive);
        const auto contents = damage(dir + "/data/" + name_of_file, d, random);
        signal = signal == SIGTERM ? SIGINT : SIGTERM;
        const DemoRun run = run_demo(dir, signal);

        bool refused = true;
        if (file == 15)
            refused = !contents || !mesh_accepted(*contents);
        else if (file == 16)
            refused = !contents;  // a module it can't recognise still runs the show, unheard
        if (refused) {
            EXPECT_EQ(run.status, 1) << run.errors;
            EXPECT_EQ(run.output, file < 15 ? "Couldn't open pic: " + name_of_file : "");
            EXPECT_EQ(run.errors, "") << "start-up went on to SDL";
        } else {
            EXPECT_TRUE(run.started);
            EXPECT_EQ(run.status, 0) << run.errors;
            EXPECT_EQ(run.output, "");
        }
        std::printf("[ case ] %-10s %-10s %s, status %d\n", name_of_file.c_str(), name(d),
                    refused ? "refused" : "show ran until the signal", run.status);
        fs::remove_all(dir);
    }
}

INSTANTIATE_TEST_SUITE_P(EachFile, BadData, testing::Range(0, 17),
                         [](const testing::TestParamInfo<int>& info) {
                             std::string n = file_name(info.param);
                             return n.substr(0, n.find('.'));
                         });

}  // namespace
