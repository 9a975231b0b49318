// The program's icon, cut from the emblem picture: a square around the sun,
// resampled to the size asked for, with rounded corners.
//
// Entry points:
//   make_icon(size)   size x size pixels, 0xAARRGGBB, size 1..1024
//   ICON_SIZES        the sizes installed in the hicolor theme
#pragma once

#include "tools/content/pictures.h"

#include <array>

constexpr std::array<int, 7> ICON_SIZES = {16, 24, 32, 48, 64, 128, 256};

Art make_icon(int size);
