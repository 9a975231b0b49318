// Reading the generated pictures back for the checks, with plain libpng.
//
// Entry points:
//   read_png(path)     header fields and 0xAARRGGBB pixels (8-bit RGBA, or
//                      RGB with alpha 0)
//   data_path(name)    the path of a file in the build's data/ directory
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PngFile {
    bool ok = false;
    int width = 0, height = 0, colour_type = -1, bit_depth = 0;
    std::vector<uint32_t> argb;  // filled for 8-bit RGBA and RGB
    uint32_t at(int x, int y) const { return argb[size_t(y) * size_t(width) + size_t(x)]; }
};

PngFile read_png(const std::string& path);
std::string data_path(const std::string& name);
