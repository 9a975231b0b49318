// The fly-in painting: 3000 grey rectangles fitted, coarse to fine, to the
// grey of the emblem picture by replaying the landing rule exactly.
//
// Entry points:
//   FitRect                       one record: x, y, w - 1, h - 1, grey 0..244
//   fit_flyin(argb)               the records, fitted to a 320x240 picture
//   paint_flyin(rects)            the finished 8-bit painting
//   land(paint, rect)             one landing: covered bytes move 25% to grey
//   grey_of(argb)                 the target grey of a picture (Rec. 601 luma)
//   rms_error(paint, grey)        root mean square difference, grey levels
//   flyin_source(rects)           C++ source defining flyin_rects
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct FitRect {
    int x, y, w, h, grey;
};

inline constexpr int FIT_WIDTH = 320, FIT_HEIGHT = 240;
inline constexpr int FIT_COUNT = 3000;

std::vector<FitRect> fit_flyin(std::span<const uint32_t> argb);
std::vector<uint8_t> paint_flyin(std::span<const FitRect> rects);
void land(std::span<uint8_t> paint, const FitRect& r);
std::vector<uint8_t> grey_of(std::span<const uint32_t> argb);
double rms_error(std::span<const uint8_t> paint, std::span<const uint8_t> grey);
std::string flyin_source(std::span<const FitRect> rects);
