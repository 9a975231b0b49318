// Writing 8-bit PNG files, for the content generators, capture and the tests.
//
// Entry points:
//   png_write_rgba(path, width, height, pixels)  pixels are 0xAARRGGBB words,
//                                                row-major, width a row;
//                                                returns true on success
//   png_write_rgb(path, width, height, pixels)   the same with alpha dropped,
//                                                as a display shows the pixels
#pragma once

#include <cstdint>
#include <span>

bool png_write_rgba(const char* path, int width, int height, std::span<const uint32_t> pixels);
bool png_write_rgb(const char* path, int width, int height, std::span<const uint32_t> pixels);
