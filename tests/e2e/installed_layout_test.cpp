// Where the programs read their data, and what the tools call themselves.
// capture_installed is capture built as a build for installing builds it,
// with INSTALLED_DATA as its compiled-in folder; capture is the developer
// build, which reads data/ in the working directory.
#include "tests/support/process.h"
#include "tests/e2e/test_data.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

struct ProgramRun {
    int status;
    std::string output, errors;
};

ProgramRun run(const std::vector<std::string>& args, const std::string& dir)
{
    ProgramRun r;
    r.status = process_run(args, dir, {}, &r.output, &r.errors);
    return r;
}

TEST(InstalledLayout, OnlyTheInstalledFolderIsReadThereAndOnlyDataInTheWorkingDirectoryHere)
{
    fs::remove_all(fs::path(INSTALLED_DATA).parent_path());
    test_write_data(fs::path(INSTALLED_DATA).parent_path(), TestSong::quick);
    // A folder with an unrelated, empty data/, and one with the show's data.
    const std::string empty = test_make_dir(), full = test_make_dir();
    fs::create_directory(empty + "/data");
    test_write_data(full, TestSong::quick);
    const std::vector<std::string> first_frame = {"--at", "0", "--frames", "out"};

    auto installed = first_frame;
    installed.insert(installed.begin(), CAPTURE_INSTALLED_PATH);
    ProgramRun r = run(installed, empty);
    EXPECT_EQ(r.status, 0) << r.output << r.errors;
    EXPECT_TRUE(fs::exists(empty + "/out/frame_000000.png"));

    auto developer = first_frame;
    developer.insert(developer.begin(), CAPTURE_PATH);
    r = run(developer, empty);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "Couldn't open pic: pic00.png");
    r = run(developer, full);
    EXPECT_EQ(r.status, 0) << r.output << r.errors;

    // A file missing from the installed folder is not looked for elsewhere.
    fs::remove(INSTALLED_DATA "/music.mod");
    r = run(installed, full);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.errors, "capture_installed: " INSTALLED_DATA "/music.mod: No such file or directory\n");
    fs::remove_all(empty);
    fs::remove_all(full);
}

TEST(ToolIdentity, VersionAndMessagesCarryTheNameTheToolWasRunAs)
{
    const std::string dir = test_make_dir();
    fs::create_symlink(CAPTURE_PATH, dir + "/kirmavo-capture");
    fs::create_symlink(MODRENDER_PATH, dir + "/kirmavo-modrender");

    ProgramRun r = run({CAPTURE_PATH, "--version"}, dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "capture (Kirmavo) " KIRMAVO_VERSION "\n");
    r = run({dir + "/kirmavo-modrender", "--version"}, dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "kirmavo-modrender (Kirmavo) " KIRMAVO_VERSION "\n");

    r = run({dir + "/kirmavo-capture", "--fps", "0"}, dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.errors.rfind("kirmavo-capture: --fps 0: ", 0), 0u) << r.errors;
    EXPECT_NE(r.errors.find("(kirmavo-capture --help"), std::string::npos) << r.errors;
    r = run({dir + "/kirmavo-modrender", "missing.mod"}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.errors.rfind("kirmavo-modrender: missing.mod: cannot read the file", 0), 0u) << r.errors;
    fs::remove_all(dir);
}

}  // namespace
