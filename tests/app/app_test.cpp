// The runtime's pure parts: the command-line rule, the input rule, the
// picture requirements, the mesh read, and the two presentation passes.
#include "app/assets.h"
#include "app/command_line.h"
#include "app/input.h"
#include "app/present.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

bool windowed(std::vector<const char*> args) { return app_windowed(int(args.size()), args.data()); }

TEST(CommandLine, DashWAnywhereOrANameEndingInWOpensAWindow)
{
    EXPECT_TRUE(windowed({"demo", "a", "-w", "b"}));
    EXPECT_TRUE(windowed({"/usr/games/demow"}));
    EXPECT_TRUE(windowed({"demow", "-x"}));
    EXPECT_FALSE(windowed({"demo"}));
    EXPECT_FALSE(windowed({"demo", "-W"}));
    EXPECT_FALSE(windowed({"demo", "-wx"}));
    EXPECT_FALSE(windowed({"demo", "w"}));
    EXPECT_FALSE(windowed({"demo", "--w"}));
    EXPECT_FALSE(windowed({"demoW"}));
    EXPECT_FALSE(windowed({""}));
    EXPECT_FALSE(app_windowed(0, nullptr));
}

SDL_Event key(Uint8 type, SDLKey sym)
{
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.keysym.sym = sym;
    return event;
}

TEST(Input, SpaceHoldsFastForwardAndEscapeQuits)
{
    InputState input;
    input_apply(input, key(SDL_KEYDOWN, SDLK_SPACE));
    EXPECT_TRUE(input.ff_held);
    input_apply(input, key(SDL_KEYDOWN, SDLK_a));
    input_apply(input, key(SDL_KEYUP, SDLK_a));
    EXPECT_TRUE(input.ff_held);
    input_apply(input, key(SDL_KEYUP, SDLK_SPACE));
    EXPECT_FALSE(input.ff_held);
    EXPECT_FALSE(input.escape);

    // A press and release within one frame leave it released.
    input_apply(input, key(SDL_KEYDOWN, SDLK_SPACE));
    input_apply(input, key(SDL_KEYUP, SDLK_SPACE));
    EXPECT_FALSE(input.ff_held);

    SDL_Event close{};
    close.type = SDL_QUIT;
    input_apply(input, close);
    input_apply(input, key(SDL_KEYUP, SDLK_ESCAPE));
    EXPECT_FALSE(input.escape) << "closing the window or releasing Escape must not end the show";
    input_apply(input, key(SDL_KEYDOWN, SDLK_ESCAPE));
    EXPECT_TRUE(input.escape);
}

TEST(Input, FastForwardJumpsOncePerTenMillisecondStep)
{
    InputState input;
    EXPECT_EQ(input_fast_forward(input, 12345, 77).step, 77);
    EXPECT_FALSE(input_fast_forward(input, 12345, 77).jump);

    input.ff_held = true;
    int32_t step = 0, jumps = 0;
    // Frames every 20 ms jump every frame; frames within one step jump once.
    for (int32_t now : {1000, 1020, 1040, 1041, 1045, 1049, 1050}) {
        const FastForward ff = input_fast_forward(input, now, step);
        jumps += ff.jump;
        step = ff.step;
    }
    EXPECT_EQ(jumps, 4);
    EXPECT_EQ(step, 105);
}

Picture picture(int32_t kind, int32_t width, int32_t height, int32_t depth = 8)
{
    Picture pic;
    pic.kind = kind;
    pic.width = width;
    pic.height = height;
    pic.bit_depth = depth;
    return pic;
}

TEST(PictureRequirements, SizesTheScenesRead)
{
    for (int i : {6, 7, 13, 14, 15}) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(assets_picture_fits(i, picture(PICTURE_RGBA, 320, 240)));
        EXPECT_FALSE(assets_picture_fits(i, picture(PICTURE_RGBA, 320, 241)));
        EXPECT_FALSE(assets_picture_fits(i, picture(PICTURE_RGBA, 320, 239)));
        EXPECT_FALSE(assets_picture_fits(i, picture(PICTURE_RGBA, 321, 240)));
    }
    for (int i : {2, 3, 4, 5, 8, 9, 10, 11, 12}) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(assets_picture_fits(i, picture(PICTURE_RGBA, 320, 240)));
        EXPECT_TRUE(assets_picture_fits(i, picture(PICTURE_RGBA, 320, 480)));
        EXPECT_FALSE(assets_picture_fits(i, picture(PICTURE_RGBA, 320, 239)));
        EXPECT_FALSE(assets_picture_fits(i, picture(PICTURE_RGBA, 319, 240)));
        EXPECT_FALSE(assets_picture_fits(i, picture(PICTURE_RGBA, 640, 240)));
    }
    EXPECT_TRUE(assets_picture_fits(0, picture(PICTURE_RGBA, 351, 271)));
    EXPECT_TRUE(assets_picture_fits(0, picture(PICTURE_RGBA, 400, 300)));
    EXPECT_FALSE(assets_picture_fits(0, picture(PICTURE_RGBA, 350, 271)));
    EXPECT_FALSE(assets_picture_fits(0, picture(PICTURE_RGBA, 351, 270)));
    EXPECT_TRUE(assets_picture_fits(1, picture(PICTURE_RGBA, 353, 273)));
    EXPECT_FALSE(assets_picture_fits(1, picture(PICTURE_RGBA, 352, 273)));
    EXPECT_FALSE(assets_picture_fits(1, picture(PICTURE_RGBA, 353, 272)));
}

TEST(PictureRequirements, OnlyEightBitRgba)
{
    EXPECT_FALSE(assets_picture_fits(7, picture(PICTURE_RGB, 320, 240)));
    EXPECT_FALSE(assets_picture_fits(7, picture(PICTURE_PALETTE, 320, 240)));
    EXPECT_FALSE(assets_picture_fits(7, picture(PICTURE_OTHER, 320, 240)));
    EXPECT_FALSE(assets_picture_fits(7, picture(PICTURE_RGBA, 320, 240, 16)));
    EXPECT_FALSE(assets_picture_fits(16, picture(PICTURE_RGBA, 320, 240)));
}

TEST(PictureRequirements, LoadListHasPic07Twice)
{
    EXPECT_STREQ(picture_file_name(PICTURE_EMBLEM), "pic07.png");
    EXPECT_STREQ(picture_file_name(PICTURE_EMBLEM_COPY), "pic07.png");
    EXPECT_STREQ(picture_file_name(PICTURE_NOISE), "pic14.png");
    for (int i = 0; i < PICTURE_FILE_COUNT; i++)
        EXPECT_EQ(PICTURE_LIST[size_t(i)].file, i) << "entries 0..14 are the files in order";
}

TEST(MeshRead, WordsAreReversedAndTheRestStaysZero)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "kirmavo-mesh-test.bare";
    {
        std::ofstream out(path, std::ios::binary);
        const char bytes[] = {0, 0, 0, 3, char(0xFF), char(0xFF), char(0xFF), char(0xFE)};
        out.write(bytes, sizeof bytes);
        out << std::string(20000, 'x');  // past the buffer: cut off
    }
    std::array<uint8_t, MESH_IMAGE_BYTES> mesh;
    mesh.fill(0);
    ASSERT_TRUE(assets_read_mesh(path.c_str(), mesh));
    int32_t words[2];
    std::memcpy(words, mesh.data(), sizeof words);
    EXPECT_EQ(words[0], 3);
    EXPECT_EQ(words[1], -2);
    EXPECT_EQ(mesh[MESH_IMAGE_BYTES - 1], 'x');

    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write("\0\0\1\0", 4);
    }
    mesh.fill(0);
    ASSERT_TRUE(assets_read_mesh(path.c_str(), mesh));
    std::memcpy(words, mesh.data(), sizeof words);
    EXPECT_EQ(words[0], 256);
    EXPECT_EQ(words[1], 0);
    std::filesystem::remove(path);
    EXPECT_FALSE(assets_read_mesh(path.c_str(), mesh));
}

TEST(Present, ColourFixDependsOnTheRedMaskAlone)
{
    // Each mask against a model of the display: where each channel's byte goes.
    struct Layout {
        uint32_t red_mask;
        int red, green, blue, alpha;  // bit positions on the display
    };
    for (const Layout layout : {Layout{0x00FF0000, 16, 8, 0, 24}, Layout{0x000000FF, 0, 8, 16, 24},
                                Layout{0x0000FF00, 8, 16, 24, 0}}) {
        SCOPED_TRACE(layout.red_mask);
        FrameBuffer canvas;
        canvas.fill(0x80FF0000);
        canvas[FRAME_PIXELS - 1] = 0x11223344;
        present_fix_colour(canvas, layout.red_mask);
        for (const auto& [index, argb] :
             {std::pair{size_t(0), 0x80FF0000u}, std::pair{size_t(12345), 0x80FF0000u},
              std::pair{size_t(FRAME_PIXELS - 1), 0x11223344u}}) {
            const uint32_t expected = (argb >> 16 & 0xFF) << layout.red | (argb >> 8 & 0xFF) << layout.green |
                                      (argb & 0xFF) << layout.blue | (argb >> 24) << layout.alpha;
            EXPECT_EQ(canvas[index], expected);
        }
    }
}

TEST(Present, DoublingLightsExactlyTheFourPixelsOfTheBlock)
{
    for (int32_t pitch : {2560, 2560 + 64}) {
        SCOPED_TRACE(pitch);
        FrameBuffer canvas{};
        canvas[239 * 320 + 319] = 0xFFABCDEF;
        canvas[0] = 0x01020304;
        std::vector<uint8_t> surface(size_t(pitch) * 480, 0x55);
        present_double(canvas, surface.data(), pitch);
        auto at = [&](int x, int y) {
            uint32_t word;
            std::memcpy(&word, surface.data() + size_t(y) * size_t(pitch) + size_t(x) * 4, 4);
            return word;
        };
        int lit = 0;
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++)
                lit += at(x, y) == 0xFFABCDEF;
        EXPECT_EQ(lit, 4);
        for (int y : {478, 479})
            for (int x : {638, 639})
                EXPECT_EQ(at(x, y), 0xFFABCDEFu);
        EXPECT_EQ(at(1, 1), 0x01020304u);
        EXPECT_EQ(at(2, 0), 0u);
        // Padding at the end of a row is not the picture's to write.
        if (pitch > 2560) {
            EXPECT_EQ(surface[2560], 0x55);
        }
    }
}

TEST(Present, CopyFollowsThePitch)
{
    FrameBuffer canvas;
    for (int i = 0; i < FRAME_PIXELS; i++)
        canvas[size_t(i)] = uint32_t(i);
    const int32_t pitch = 1280 + 32;
    std::vector<uint8_t> surface(size_t(pitch) * 240, 0xEE);
    present_copy(canvas, surface.data(), pitch);
    uint32_t word;
    std::memcpy(&word, surface.data() + size_t(pitch) * 239 + 319 * 4, 4);
    EXPECT_EQ(word, uint32_t(FRAME_PIXELS - 1));
    std::memcpy(&word, surface.data() + size_t(pitch) * 1, 4);
    EXPECT_EQ(word, 320u);
    EXPECT_EQ(surface[1280], 0xEE);
}

}  // namespace
