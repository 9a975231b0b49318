// Writing 8-bit RGBA PNG files, for the content generators and the tests.
//
// Entry points:
//   png_write_rgba(path, width, height, pixels)  pixels are 0xAARRGGBB words,
//                                                row-major, width a row;
//                                                returns true on success
#pragma once

#include <cstdint>
#include <span>

bool png_write_rgba(const char* path, int width, int height, std::span<const uint32_t> pixels);
