// Line drawings made of straight segments (neon tubes, the title lettering,
// icons), and their distance fields, from which tubes and glows are shaded.
//
// Entry points:
//   Path                                   a list of segments, pixel units
//   line(path, x0, y0, x1, y1)             one segment
//   polyline(path, {{x, y}, ...})          connected segments
//   arc(path, cx, cy, rx, ry, a0, a1, n)   elliptical arc, degrees, y down
//   distance_field(path, w, h, reach)      per-pixel distance to the path,
//                                          capped at reach
//   title_path(text, x, baseline, scale, spacing)  the title lettering
#pragma once

#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

struct Segment {
    float x0, y0, x1, y1;
};
using Path = std::vector<Segment>;

void line(Path& path, float x0, float y0, float x1, float y1);
void polyline(Path& path, std::initializer_list<std::pair<float, float>> points);
void arc(Path& path, float cx, float cy, float rx, float ry, float a0, float a1, int steps);

struct DistanceField {
    int w = 0, h = 0;
    std::vector<float> d;
    float at(int x, int y) const { return d[size_t(y) * size_t(w) + size_t(x)]; }
};

DistanceField distance_field(const Path& path, int w, int h, float reach);

// The script lettering of the title, drawn for the glyphs K, i, r, m, a, v
// and o (other letters are skipped). Returns the width used.
float title_path(Path& path, std::string_view text, float x, float baseline, float scale, float spacing);
