// The PNG loader against files written here with libpng: the formats it
// keeps, the conversion to 0xAARRGGBB, and every way a file can fail.
#include "gfx/picture/picture.h"
#include "tests/support/test_files.h"

#include <png.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir()
    {
        char name[] = "/tmp/kirmavo-picture-XXXXXX";
        path_ = mkdtemp(name);
    }
    ~TempDir() { fs::remove_all(path_); }
    std::string file(const char* name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

// Writes `bytes` (rows without padding, in file order) as a PNG of the
// given colour type and depth 8; `palette` is used for palette pictures.
void write_png(const std::string& path, int width, int height, int colour_type,
               const std::vector<uint8_t>& bytes, const std::vector<png_color>& palette = {})
{
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    ASSERT_EQ(setjmp(png_jmpbuf(png)), 0);
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, colour_type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    const size_t row_bytes = bytes.size() / size_t(height);
    std::vector<png_bytep> rows;
    for (int y = 0; y < height; y++)
        rows.push_back(const_cast<uint8_t*>(bytes.data()) + size_t(y) * row_bytes);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

size_t open_files()
{
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd"))
        count++;
    return count;
}

std::vector<uint8_t> rgba_ramp(int width, int height)
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < width * height; i++)
        for (int c = 0; c < 4; c++)
            bytes.push_back(uint8_t(i * 4 + c));
    return bytes;
}

TEST(PictureConversion, RgbaBytesBecomeArgbWords)
{
    uint8_t bytes[8] = {0x11, 0x22, 0x33, 0x44, 0xFF, 0x00, 0x80, 0x01};
    Picture pic;
    pic.kind = PICTURE_RGBA;
    pic.width = 2;
    pic.height = 1;
    pic.pixels = bytes;
    picture_to_argb(&pic);
    EXPECT_EQ(pic.argb()[0], 0x44112233u);
    EXPECT_EQ(pic.argb()[1], 0x01FF0080u);
}

TEST(PictureConversion, OtherKindsAndEmptyPicturesAreLeftAlone)
{
    uint8_t bytes[4] = {1, 2, 3, 4};
    Picture pic;
    pic.kind = PICTURE_RGB;
    pic.width = 1;
    pic.height = 1;
    pic.pixels = bytes;
    picture_to_argb(&pic);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[3], 4);
    pic.kind = PICTURE_RGBA;
    pic.height = 0;
    picture_to_argb(&pic);
    EXPECT_EQ(bytes[0], 1);
}

TEST(ByteSwap, ReversesEachWordInPlace)
{
    uint8_t bytes[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    byte_swap_words(bytes, 2);
    const uint8_t expected[9] = {4, 3, 2, 1, 8, 7, 6, 5, 9};
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 9), std::vector<uint8_t>(expected, expected + 9));
    byte_swap_words(bytes, 0);
    byte_swap_words(bytes, -3);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 9), std::vector<uint8_t>(expected, expected + 9));
    byte_swap_words(bytes, 2);  // twice is the identity
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[7], 8);
}

TEST(PngLoader, RgbaPictureKeepsFileOrderUntilConverted)
{
    TempDir dir;
    const std::string path = dir.file("rgba.png");
    const std::vector<uint8_t> bytes = rgba_ramp(5, 3);
    write_png(path, 5, 3, PNG_COLOR_TYPE_RGBA, bytes);

    Picture pic;
    ASSERT_EQ(load_png_picture(path.c_str(), &pic), 0);
    EXPECT_EQ(pic.kind, PICTURE_RGBA);
    EXPECT_EQ(pic.width, 5);
    EXPECT_EQ(pic.height, 3);
    EXPECT_EQ(pic.bit_depth, 8);
    EXPECT_EQ(std::vector<uint8_t>(pic.pixels, pic.pixels + bytes.size()), bytes);
    picture_to_argb(&pic);
    // Pixel (4, 2) is number 14: bytes 56..59 as red, green, blue, alpha.
    EXPECT_EQ(pic.argb()[2 * 5 + 4], 0x3B38393Au);
}

TEST(PngLoader, OtherColourTypesKeepTheirOwnPixelSize)
{
    TempDir dir;
    const std::string rgb = dir.file("rgb.png"), grey = dir.file("grey.png"), grey_alpha = dir.file("ga.png"),
                      indexed = dir.file("pal.png");
    write_png(rgb, 2, 2, PNG_COLOR_TYPE_RGB, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    write_png(grey, 3, 1, PNG_COLOR_TYPE_GRAY, {7, 8, 9});
    write_png(grey_alpha, 2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, {10, 20, 30, 40});
    write_png(indexed, 2, 2, PNG_COLOR_TYPE_PALETTE, {0, 1, 2, 1},
              {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}});

    Picture pic;
    ASSERT_EQ(load_png_picture(rgb.c_str(), &pic), 0);
    EXPECT_EQ(pic.kind, PICTURE_RGB);
    EXPECT_EQ(pic.pixels[11], 12);

    ASSERT_EQ(load_png_picture(grey.c_str(), &pic), 0);
    EXPECT_EQ(pic.kind, PICTURE_GREY);
    EXPECT_EQ(pic.pixels[2], 9);

    // Grey with alpha has no code of its own and is copied one byte a pixel.
    ASSERT_EQ(load_png_picture(grey_alpha.c_str(), &pic), 0);
    EXPECT_EQ(pic.kind, PICTURE_OTHER);
    EXPECT_EQ(pic.pixels[0], 10);
    EXPECT_EQ(pic.pixels[1], 20);

    Picture pal;
    pal.palette[3][0] = 99;  // entries past the file's palette stay as they were
    ASSERT_EQ(load_png_picture(indexed.c_str(), &pal), 0);
    EXPECT_EQ(pal.kind, PICTURE_PALETTE);
    EXPECT_EQ(pal.pixels[2], 2);
    EXPECT_EQ(pal.palette[2][1], 80);
    EXPECT_EQ(pal.palette[3][0], 99);
}

TEST(PngLoader, FailuresReturnMinusOneAndLeaveTheRecord)
{
    TempDir dir;
    const std::string good = dir.file("good.png");
    std::vector<uint8_t> noise(32 * 32 * 4);
    uint32_t seed = 1;
    for (uint8_t& byte : noise)
        byte = uint8_t((seed = seed * 1103515245u + 12345u) >> 24);
    write_png(good, 32, 32, PNG_COLOR_TYPE_RGBA, noise);
    const std::vector<uint8_t> png = read_file(good);
    ASSERT_GT(png.size(), 1000u);

    const std::string short_file = dir.file("short.png");
    write_file(short_file, std::vector<uint8_t>{0x89, 'P', 'N', 'G'});
    std::vector<uint8_t> not_png = png;
    not_png[1] = 'Q';
    const std::string bad_signature = dir.file("bad.png");
    write_file(bad_signature, not_png);
    // A valid signature and header, then the data stops.
    const std::string truncated = dir.file("truncated.png");
    write_file(truncated, std::vector<uint8_t>(png.begin(), png.begin() + 60));
    // The header's CRC no longer matches.
    std::vector<uint8_t> damaged_header = png;
    damaged_header[20] ^= 0x40;
    const std::string bad_header = dir.file("badcrc.png");
    write_file(bad_header, damaged_header);
    // The compressed pixels are scrambled.
    std::vector<uint8_t> damaged_data = png;
    for (size_t i = 45; i < damaged_data.size() - 16; i++)
        damaged_data[i] = uint8_t(damaged_data[i] * 7 + 3);
    const std::string bad_data = dir.file("baddata.png");
    write_file(bad_data, damaged_data);

    const size_t files_before = open_files();
    for (const std::string& path :
         {dir.file("missing.png"), short_file, bad_signature, truncated, bad_header, bad_data}) {
        SCOPED_TRACE(path);
        uint8_t untouched = 0;
        Picture pic;
        pic.pixels = &untouched;
        pic.width = 123;
        EXPECT_EQ(load_png_picture(path.c_str(), &pic), -1);
        EXPECT_EQ(pic.pixels, &untouched);
        EXPECT_EQ(pic.width, 123);
    }
    Picture pic;
    EXPECT_EQ(load_png_picture(good.c_str(), &pic), 0);
    EXPECT_EQ(open_files(), files_before) << "a file was left open";
}

}  // namespace
