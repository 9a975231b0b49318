// Two runs of the generator give the same bytes: a fresh run here against
// the build's own run.
#include "gfx/picture/picture_list.h"
#include "tests/content/read_png.h"
#include "tests/support/process.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

// Under the test's working directory (its build directory), so that two
// build trees testing at once do not share it.
std::filesystem::path scratch(const char* name)
{
    const auto dir = std::filesystem::current_path() / (std::string("content_test_") + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

int run(std::vector<std::string> args)
{
    args.insert(args.begin(), CONTENT_GEN);
    Child child = process_start(args, ".");
    return process_wait(child, 540000);  // ms, ample under the sanitizers
}

}  // namespace

TEST(Generator, PicturesAndMeshAreReproducible)
{
    const auto dir = scratch("pictures");
    ASSERT_EQ(run({"pictures", dir.string()}), 0);
    std::vector<std::string> names = {"mesh.bare"};
    names.insert(names.end(), PICTURE_FILE_NAMES.begin(), PICTURE_FILE_NAMES.end());
    for (const std::string& name : names) {
        const auto fresh = read_file((dir / name).string());
        EXPECT_FALSE(fresh.empty()) << name;
        EXPECT_TRUE(fresh == read_file(data_path(name))) << name << " differs between runs";
    }
    std::filesystem::remove_all(dir);
}

TEST(Generator, FlyinRecordsAreReproducible)
{
    const auto dir = scratch("flyin");
    const auto out = dir / "flyin_rects.cpp";
    ASSERT_EQ(run({"flyin", out.string()}), 0);
    const auto fresh = read_file(out.string());
    EXPECT_FALSE(fresh.empty());
    EXPECT_TRUE(fresh == read_file(FLYIN_RECTS_CPP)) << "fly-in records differ between runs";
    std::filesystem::remove_all(dir);
}
