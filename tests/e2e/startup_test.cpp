// Start-up failures, run as the real programs on a data/ directory written
// here. Every one ends with status 1 before SDL is touched; only a missing
// picture says anything, and then exactly one line-less message on stdout.
#include "tests/support/process.h"
#include "tests/e2e/test_data.h"

#include "tools/common/png_write.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

// No X server: a program that got as far as opening the display would say
// so on stderr, which every silent failure below would then show.
const std::vector<std::string> no_display = {"DISPLAY=:9999", "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy"};

class Startup : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        template_dir_ = test_make_dir();
        test_write_data(template_dir_);
    }
    static void TearDownTestSuite() { fs::remove_all(template_dir_); }

    void SetUp() override
    {
        dir_ = test_make_dir();
        fs::copy(template_dir_, dir_, fs::copy_options::recursive);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string data(const std::string& name) const { return dir_ + "/data/" + name; }

    int run(const char* program, std::string* output, std::string* errors)
    {
        return process_run({program}, dir_, no_display, output, errors);
    }

    static std::string template_dir_;
    std::string dir_;
};

std::string Startup::template_dir_;

TEST_F(Startup, EachMissingPictureIsNamedAndEndsTheProgram)
{
    for (int file = 0; file < 15; file++) {
        char name[16];
        std::snprintf(name, sizeof name, "pic%02d.png", file);
        SCOPED_TRACE(name);
        const std::string moved = data(name) + ".away";
        fs::rename(data(name), moved);
        for (const char* program : {DEMO_PATH, DEMO2X_PATH}) {
            std::string output, errors;
            EXPECT_EQ(run(program, &output, &errors), 1);
            EXPECT_EQ(output, std::string("Couldn't open pic: ") + name);
            EXPECT_EQ(errors, "");
        }
        fs::rename(moved, data(name));
    }
}

TEST_F(Startup, UnusablePicturesAreRefusedLikeMissingOnes)
{
    struct Case {
        const char* file;
        int width, height;
    };
    // pic07 is entry 7 and entry 15; it is reported once, at entry 7.
    for (const Case& c :
         {Case{"pic07.png", 320, 239}, Case{"pic06.png", 321, 240}, Case{"pic00.png", 350, 272},
          Case{"pic01.png", 354, 272}, Case{"pic12.png", 320, 200}}) {
        SCOPED_TRACE(c.file);
        const std::vector<uint32_t> pixels(size_t(c.width) * size_t(c.height), 0xFF808080u);
        ASSERT_TRUE(png_write_rgba(data(c.file).c_str(), c.width, c.height, pixels));
        std::string output, errors;
        EXPECT_EQ(run(DEMO_PATH, &output, &errors), 1);
        EXPECT_EQ(output, std::string("Couldn't open pic: ") + c.file);
        fs::copy_file(template_dir_ + "/data/" + c.file, data(c.file), fs::copy_options::overwrite_existing);
    }
    // Not a PNG at all, and a PNG cut short after its header.
    std::ofstream(data("pic09.png"), std::ios::binary) << "GIF89a not a picture";
    std::string output, errors;
    EXPECT_EQ(run(DEMO_PATH, &output, &errors), 1);
    EXPECT_EQ(output, "Couldn't open pic: pic09.png");
    fs::resize_file(data("pic09.png"), 0);
    fs::copy_file(template_dir_ + "/data/pic09.png", data("pic09.png"), fs::copy_options::overwrite_existing);
    fs::resize_file(data("pic09.png"), 100);
    EXPECT_EQ(run(DEMO_PATH, &output, &errors), 1);
    EXPECT_EQ(output, "Couldn't open pic: pic09.png");
    EXPECT_EQ(errors, "") << "the decoder's own complaints stay unprinted";
}

TEST_F(Startup, MissingMeshOrModuleEndsSilently)
{
    for (const char* file : {"mesh.bare", "music.mod"}) {
        SCOPED_TRACE(file);
        const std::string moved = data(file) + ".away";
        fs::rename(data(file), moved);
        for (const char* program : {DEMO_PATH, DEMO2X_PATH}) {
            std::string output, errors;
            EXPECT_EQ(run(program, &output, &errors), 1);
            EXPECT_EQ(output, "");
            EXPECT_EQ(errors, "") << "the program went on to open the display";
        }
        fs::rename(moved, data(file));
    }
}

TEST_F(Startup, NoDisplayIsOneLineOnStandardError)
{
    std::string output, errors;
    EXPECT_EQ(run(DEMO_PATH, &output, &errors), 1);
    EXPECT_EQ(output, "");
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.find('\n'), errors.size() - 1) << errors;
}

}  // namespace
