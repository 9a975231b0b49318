#include "tools/common/png_write.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

bool png_write_rgba(const char* path, int width, int height, std::span<const uint32_t> pixels)
{
    if (width <= 0 || height <= 0 || pixels.size() < size_t(width) * size_t(height))
        return false;

    // Rows in file order: red, green, blue, alpha.
    std::vector<uint8_t> bytes(size_t(width) * size_t(height) * 4);
    for (size_t i = 0; i < size_t(width) * size_t(height); i++) {
        const uint32_t p = pixels[i];
        bytes[4 * i + 0] = uint8_t(p >> 16);
        bytes[4 * i + 1] = uint8_t(p >> 8);
        bytes[4 * i + 2] = uint8_t(p);
        bytes[4 * i + 3] = uint8_t(p >> 24);
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; y++)
        rows[size_t(y)] = bytes.data() + size_t(y) * size_t(width) * 4;

    FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    volatile bool ok = false;
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        // No time chunk and fixed settings, so the same pixels give the same bytes.
        png_set_compression_level(png, 9);
        png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGBA,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_rows(png, info, rows.data());
        png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && ok;
}
