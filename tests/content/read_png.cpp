#include "tests/content/read_png.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

PngFile read_png(const std::string& path)
{
    PngFile out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return out;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, f);
        png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
        out.width = int(png_get_image_width(png, info));
        out.height = int(png_get_image_height(png, info));
        out.colour_type = png_get_color_type(png, info);
        out.bit_depth = png_get_bit_depth(png, info);
        const bool rgba = out.colour_type == PNG_COLOR_TYPE_RGBA;
        if ((rgba || out.colour_type == PNG_COLOR_TYPE_RGB) && out.bit_depth == 8) {
            png_bytepp rows = png_get_rows(png, info);
            const int n = rgba ? 4 : 3;
            out.argb.resize(size_t(out.width) * size_t(out.height));
            for (int y = 0; y < out.height; y++)
                for (int x = 0; x < out.width; x++) {
                    const png_bytep p = rows[y] + n * x;
                    const uint32_t alpha = rgba ? p[3] : 0;
                    out.argb[size_t(y) * size_t(out.width) + size_t(x)] =
                        alpha << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
                }
        }
        out.ok = true;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return out;
}

std::string data_path(const std::string& name) { return std::string(KIRMAVO_DATA_DIR) + "/" + name; }
