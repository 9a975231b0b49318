// Greedy fit. Each record in turn is the best of a few dozen candidate
// rectangles of the size the schedule asks for, each placed on a point of
// high error, then improved by moving and resizing it one or a few pixels
// at a time while that lowers the squared error. Since a landing computes
// (grey >> 2) + ((3 v) >> 2), the best grey for a given place follows in
// closed form from sums over the covered bytes; only multiples of 4 are
// needed, and 4 x 61 = 244 is the brightest that ever helps.
//
// The target size falls geometrically from 290 to 128 pixels over the run,
// which gives a mean of about 300 over the first 500 records and about 130
// over the last 500: broad strokes first, detail last.
#include "tools/content/flyin_fit.h"

#include "tools/content/rng.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int W = FIT_WIDTH, H = FIT_HEIGHT;
constexpr int min_side = 4, max_side = 36;  // w and h are stored minus one
constexpr int x_min = -16, x_max = 317, y_min = -17, y_max = 237;
constexpr int candidates = 24;
constexpr int climb_steps = 24;

struct Trial {
    int64_t delta = 0;  // change of the summed squared error
    int grey_step = 0;  // grey >> 2, 0..61
    bool valid = false;
};

struct Fitter {
    std::vector<int> target;
    std::vector<uint8_t> paint;

    Trial evaluate(const FitRect& r) const
    {
        const int c0 = std::max(r.x, 0), c1 = std::min(r.x + r.w, W - 1);
        const int r0 = std::max(r.y, 0), r1 = std::min(r.y + r.h, H - 1);
        Trial t;
        if (c0 > c1 || r0 > r1)
            return t;
        int64_t n = 0, s1 = 0, s2 = 0, e0 = 0;
        for (int y = r0; y <= r1; y++) {
            const uint8_t* pv = &paint[size_t(y) * W];
            const int* pt = &target[size_t(y) * W];
            for (int x = c0; x <= c1; x++) {
                const int v = pv[x];
                const int d = ((3 * v) >> 2) - pt[x];
                const int e = v - pt[x];
                s1 += d;
                s2 += d * d;
                e0 += e * e;
            }
            n += c1 - c0 + 1;
        }
        const int g = int(std::clamp<long>(std::lround(-double(s1) / double(n)), 0L, 61L));
        t.grey_step = g;
        t.delta = n * g * g + 2 * int64_t(g) * s1 + s2 - e0;
        t.valid = true;
        return t;
    }
};

bool allowed(const FitRect& r, int area_lo, int area_hi)
{
    const int area = (r.w + 1) * (r.h + 1);
    return r.w + 1 >= min_side && r.w + 1 <= max_side && r.h + 1 >= min_side && r.h + 1 <= max_side &&
           r.x >= x_min && r.x <= x_max && r.y >= y_min && r.y <= y_max && area >= area_lo && area <= area_hi;
}

}  // namespace

std::vector<uint8_t> grey_of(std::span<const uint32_t> argb)
{
    std::vector<uint8_t> g(argb.size());
    for (size_t i = 0; i < argb.size(); i++) {
        const uint32_t p = argb[i];
        g[i] = uint8_t((77 * ((p >> 16) & 255) + 150 * ((p >> 8) & 255) + 29 * (p & 255)) >> 8);
    }
    return g;
}

void land(std::span<uint8_t> paint, const FitRect& r)
{
    const int c0 = std::max(r.x, 0), c1 = std::min(r.x + r.w, W - 1);
    const int r0 = std::max(r.y, 0), r1 = std::min(r.y + r.h, H - 1);
    for (int y = r0; y <= r1; y++)
        for (int x = c0; x <= c1; x++) {
            uint8_t& v = paint[size_t(y) * W + size_t(x)];
            v = uint8_t((r.grey >> 2) + ((3 * v) >> 2));
        }
}

std::vector<uint8_t> paint_flyin(std::span<const FitRect> rects)
{
    std::vector<uint8_t> paint(size_t(W) * H, 0);
    for (const FitRect& r : rects)
        land(paint, r);
    return paint;
}

double rms_error(std::span<const uint8_t> paint, std::span<const uint8_t> grey)
{
    double sum = 0;
    for (size_t i = 0; i < paint.size() && i < grey.size(); i++) {
        const double d = double(paint[i]) - double(grey[i]);
        sum += d * d;
    }
    return paint.empty() ? 0.0 : std::sqrt(sum / double(paint.size()));
}

std::vector<FitRect> fit_flyin(std::span<const uint32_t> argb)
{
    Fitter f;
    const std::vector<uint8_t> grey = grey_of(argb);
    f.target.assign(grey.begin(), grey.end());
    f.paint.assign(size_t(W) * H, 0);
    Rng rng{0x7F1A11E5ull};
    std::vector<FitRect> out;
    out.reserve(FIT_COUNT);

    for (int i = 0; i < FIT_COUNT; i++) {
        const double area = 290.0 * std::pow(128.0 / 290.0, double(i) / double(FIT_COUNT - 1));
        const int area_lo = int(area * 0.75), area_hi = int(area * 1.15);

        FitRect best{};
        Trial best_trial;
        for (int c = 0; c < candidates; c++) {
            // Size: the scheduled area at a random aspect.
            const double aspect = std::exp((rng.uniform() - 0.5f) * 1.8f);
            const int ww = std::clamp(int(std::lround(std::sqrt(area * aspect))), min_side, max_side);
            const int hh = std::clamp(int(std::lround(area / ww)), min_side, max_side);
            // Place: the worst of a few random points.
            int px = 0, py = 0, worst = -1;
            for (int k = 0; k < 6; k++) {
                const int x = rng.range(0, W - 1), y = rng.range(0, H - 1);
                const int e =
                    std::abs(int(f.paint[size_t(y) * W + size_t(x)]) - f.target[size_t(y) * W + size_t(x)]);
                if (e > worst) {
                    worst = e;
                    px = x;
                    py = y;
                }
            }
            FitRect r{std::clamp(px - ww / 2, x_min, x_max), std::clamp(py - hh / 2, y_min, y_max), ww - 1,
                      hh - 1, 0};
            const Trial t = f.evaluate(r);
            if (t.valid && (!best_trial.valid || t.delta < best_trial.delta)) {
                best = r;
                best_trial = t;
            }
        }
        // Local search.
        static constexpr int moves[][4] = {
            {1, 0, 0, 0},  {-1, 0, 0, 0}, {0, 1, 0, 0},  {0, -1, 0, 0}, {3, 0, 0, 0},  {-3, 0, 0, 0},
            {0, 3, 0, 0},  {0, -3, 0, 0}, {0, 0, 1, 0},  {0, 0, -1, 0}, {0, 0, 0, 1},  {0, 0, 0, -1},
            {0, 0, 1, -1}, {0, 0, -1, 1}, {-1, 0, 1, 0}, {0, -1, 0, 1}, {1, 0, -1, 0}, {0, 1, 0, -1},
        };
        for (int step = 0; step < climb_steps && best_trial.valid; step++) {
            FitRect next = best;
            Trial next_trial = best_trial;
            for (const auto& m : moves) {
                const FitRect r{best.x + m[0], best.y + m[1], best.w + m[2], best.h + m[3], 0};
                if (!allowed(r, area_lo, area_hi))
                    continue;
                const Trial t = f.evaluate(r);
                if (t.valid && t.delta < next_trial.delta) {
                    next = r;
                    next_trial = t;
                }
            }
            if (next_trial.delta >= best_trial.delta)
                break;
            best = next;
            best_trial = next_trial;
        }
        best.grey = best_trial.grey_step * 4;
        land(f.paint, best);
        out.push_back(best);
    }
    return out;
}

std::string flyin_source(std::span<const FitRect> rects)
{
    std::string s = "// Generated by tools/content (content_gen flyin) from the emblem picture.\n"
                    "// Do not edit: rebuild to regenerate.\n"
                    "#include \"gfx/fx/flyin_rect.h\"\n\n"
                    "const std::array<FlyinRect, FLYIN_RECT_COUNT> flyin_rects = {{\n";
    char buf[96];
    for (const FitRect& r : rects) {
        const unsigned g = unsigned(r.grey);
        std::snprintf(buf, sizeof buf, "    {%d, %d, %d, %d, 0x40%02X%02X%02X, 0, 0},\n", r.x, r.y, r.w, r.h,
                      g, g, g);
        s += buf;
    }
    s += "}};\n";
    return s;
}
