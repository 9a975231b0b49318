#include "tools/content/strokes.h"

#include <algorithm>
#include <cmath>

void line(Path& path, float x0, float y0, float x1, float y1) { path.push_back({x0, y0, x1, y1}); }

void polyline(Path& path, std::initializer_list<std::pair<float, float>> points)
{
    const std::pair<float, float>* prev = nullptr;
    for (const auto& p : points) {
        if (prev)
            line(path, prev->first, prev->second, p.first, p.second);
        prev = &p;
    }
}

void arc(Path& path, float cx, float cy, float rx, float ry, float a0, float a1, int steps)
{
    const float k = 3.14159265f / 180.0f;
    for (int i = 0; i < steps; i++) {
        const float t0 = (a0 + (a1 - a0) * float(i) / float(steps)) * k;
        const float t1 = (a0 + (a1 - a0) * float(i + 1) / float(steps)) * k;
        line(path, cx + rx * std::cos(t0), cy - ry * std::sin(t0), cx + rx * std::cos(t1),
             cy - ry * std::sin(t1));
    }
}

DistanceField distance_field(const Path& path, int w, int h, float reach)
{
    DistanceField f{w, h, std::vector<float>(size_t(w) * size_t(h), reach)};
    for (const Segment& s : path) {
        const int xa = std::max(0, int(std::floor(std::min(s.x0, s.x1) - reach)));
        const int xb = std::min(w - 1, int(std::ceil(std::max(s.x0, s.x1) + reach)));
        const int ya = std::max(0, int(std::floor(std::min(s.y0, s.y1) - reach)));
        const int yb = std::min(h - 1, int(std::ceil(std::max(s.y0, s.y1) + reach)));
        const float dx = s.x1 - s.x0, dy = s.y1 - s.y0;
        const float len2 = dx * dx + dy * dy;
        for (int y = ya; y <= yb; y++) {
            for (int x = xa; x <= xb; x++) {
                // Pixel centres sit at +0.5.
                const float px = float(x) + 0.5f - s.x0, py = float(y) + 0.5f - s.y0;
                const float t = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.0f, 1.0f) : 0.0f;
                const float ex = px - t * dx, ey = py - t * dy;
                float& d = f.d[size_t(y) * size_t(w) + size_t(x)];
                d = std::min(d, std::sqrt(ex * ex + ey * ey));
            }
        }
    }
    return f;
}

namespace {

// Glyphs in design units: baseline at y = 0, x-height 48, ascender 72,
// y growing upwards; returns the advance.
float glyph(Path& p, char ch, float ox, float base, float s)
{
    const auto X = [&](float x) { return ox + x * s; };
    const auto Y = [&](float y) { return base - y * s; };
    const auto L = [&](float x0, float y0, float x1, float y1) { line(p, X(x0), Y(y0), X(x1), Y(y1)); };
    const auto A = [&](float cx, float cy, float rx, float ry, float a0, float a1, int n) {
        arc(p, X(cx), Y(cy), rx * s, ry * s, a0, a1, n);
    };
    switch (ch) {
    case 'K':
        L(0, 0, 0, 72);
        L(0, 26, 36, 72);
        L(12, 40, 38, 0);
        return 38;
    case 'i':
        L(0, 0, 0, 46);
        L(0, 62, 0, 64);
        return 0;
    case 'r':
        L(0, 0, 0, 48);
        A(22, 26, 22, 20, 180, 80, 8);
        return 26;
    case 'm':
        L(0, 0, 0, 48);
        A(14, 32, 14, 14, 180, 0, 10);
        L(28, 32, 28, 0);
        A(42, 32, 14, 14, 180, 0, 10);
        L(56, 32, 56, 0);
        return 56;
    case 'a':
        A(20, 24, 20, 24, 0, 360, 24);
        L(40, 0, 40, 48);
        return 40;
    case 'v':
        L(0, 48, 19, 0);
        L(19, 0, 38, 48);
        return 38;
    case 'o':
        A(22, 24, 22, 24, 0, 360, 24);
        return 44;
    default:
        return -1;
    }
}

}  // namespace

float title_path(Path& path, std::string_view text, float x, float baseline, float scale, float spacing)
{
    float pen = x;
    bool first = true;
    for (char ch : text) {
        Path g;
        const float adv = glyph(g, ch, pen + (first ? 0 : spacing * scale), baseline, scale);
        if (adv < 0)
            continue;
        pen += (first ? 0 : spacing * scale) + adv * scale;
        first = false;
        path.insert(path.end(), g.begin(), g.end());
    }
    return pen - x;
}
