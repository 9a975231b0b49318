// Decoded pictures and the word byte-reversal.
//
// Entry points:
//   load_png_picture(path, pic)   decode a PNG file; 0 on success, -1 on failure
//   picture_to_argb(pic)          RGBA bytes in place -> 0xAARRGGBB words
//   byte_swap_words(buf, count)   reverse the 4 bytes of each 32-bit word
//   words_from_big_endian(buf, count)
//                                 big-endian 32-bit words to host order:
//                                 reversed on a little-endian host, kept on a
//                                 big-endian one
//
// After picture_to_argb, pixel (x, y) is the word at y * width + x.
#pragma once

#include <cstdint>

// `kind` codes, from the PNG colour type.
enum : int32_t {
    PICTURE_OTHER = 0,    // grey with alpha, or anything unknown: 1 byte a pixel
    PICTURE_PALETTE = 1,  // 1 byte a pixel, the index into `palette`
    PICTURE_GREY = 2,     // 1 byte a pixel
    PICTURE_RGB = 3,      // 3 bytes a pixel
    PICTURE_RGBA = 4,     // 4 bytes a pixel
};

struct Picture {
    int32_t kind = PICTURE_OTHER;
    int32_t width = 0;
    int32_t height = 0;
    uint8_t* pixels = nullptr;     // width * height * bytes per pixel, no row padding; never freed
    uint8_t palette[256][3] = {};  // red, green, blue; set for palette pictures only
    int32_t bit_depth = 0;         // from the header; pixels are copied as 8-bit samples whatever it says

    const uint32_t* argb() const { return reinterpret_cast<const uint32_t*>(pixels); }
    uint32_t* argb() { return reinterpret_cast<uint32_t*>(pixels); }
};

int32_t load_png_picture(const char* path, Picture* pic);
void picture_to_argb(Picture* pic);  // RGBA pictures only; others are left as they are
void byte_swap_words(uint8_t* buffer, int32_t count);
void words_from_big_endian(uint8_t* buffer, int32_t count);
