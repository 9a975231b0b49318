#include "tools/common/png_write.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

namespace {

// channels 4: red, green, blue, alpha; 3: the same without alpha.
bool png_write(const char* path, int width, int height, std::span<const uint32_t> pixels, int channels,
               int level)
{
    if (width <= 0 || height <= 0 || pixels.size() < size_t(width) * size_t(height))
        return false;

    // Rows in file order.
    const size_t n = size_t(channels);
    std::vector<uint8_t> bytes(size_t(width) * size_t(height) * n);
    for (size_t i = 0; i < size_t(width) * size_t(height); i++) {
        const uint32_t p = pixels[i];
        bytes[n * i + 0] = uint8_t(p >> 16);
        bytes[n * i + 1] = uint8_t(p >> 8);
        bytes[n * i + 2] = uint8_t(p);
        if (n == 4)
            bytes[n * i + 3] = uint8_t(p >> 24);
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; y++)
        rows[size_t(y)] = bytes.data() + size_t(y) * size_t(width) * n;

    FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    volatile bool ok = false;
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        // No time chunk and fixed settings, so the same pixels give the same bytes.
        png_set_compression_level(png, level);
        png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
                     channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_rows(png, info, rows.data());
        png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && ok;
}

}  // namespace

bool png_write_rgba(const char* path, int width, int height, std::span<const uint32_t> pixels)
{
    return png_write(path, width, height, pixels, 4, 9);
}

bool png_write_rgb(const char* path, int width, int height, std::span<const uint32_t> pixels)
{
    // Thousands of frames are written at a time: a quicker level.
    return png_write(path, width, height, pixels, 3, 6);
}
