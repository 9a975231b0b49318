// Two runs of the generator give the same bytes: a fresh run here against
// the build's own run; and its floats round alike on every target.
#include "gfx/picture/picture_list.h"
#include "tests/content/read_png.h"
#include "tests/support/process.h"
#include "tests/support/test_files.h"
#include "tools/content/strokes.h"

#include <gtest/gtest.h>

#include <bit>
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

// cx + rx * cos(t) rounds twice; where a target's multiply-add fuses it into
// one rounding (arm64, s390x, x86-64-v3), the points move by a bit and the
// pictures drawn from them change. The hash is of these arcs' points built
// for x86-64 without FMA.
TEST(Generator, ArcPointsRoundAsWithoutFusedMultiplyAdd)
{
    Path path;
    for (int i = 0; i < 64; i++)
        arc(path, 160.3f + float(i), 120.7f, 37.1f + 0.37f * float(i), 29.9f + 0.11f * float(i), -13.0f * float(i),
            200.0f + 7.0f * float(i), 24);
    uint64_t hash = 0xCBF29CE484222325ull;
    for (const Segment& s : path)
        for (float v : {s.x0, s.y0, s.x1, s.y1})
            for (int i = 0; i < 4; i++)
                hash = (hash ^ uint8_t(std::bit_cast<uint32_t>(v) >> (8 * i))) * 0x100000001B3ull;
    EXPECT_EQ(hash, 0x7792499724c32e86ull);
}
