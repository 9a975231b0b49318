// content_preview: pictures the generated content as the scenes will show
// it, for looking at while working on the art (not part of the build's
// output). Writes into <dir>:
//   circles.png   pic00 AND pic01 at one moment, with all credit lines
//   overlays.png  each overlay over the scene it is shown in
//   mesh.png      the knot's silhouette over pic07, plain and through the
//                 halftone, and the finale's dots over pic13
//   crawl.png     the crawl lines after 200 and 500 steps over the static
//   flyin.png     the painting after 500, 1000, 2000 and 3000 landings
//
// Entry points:
//   content_preview <dir>
#include "tools/common/png_write.h"
#include "tools/content/flyin_fit.h"
#include "tools/content/knot_mesh.h"
#include "tools/content/pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int W = 320, H = 240;
using Frame = std::vector<uint32_t>;

// The demo's alpha rule.
uint32_t over(uint32_t s, uint32_t d)
{
    const uint32_t a = s >> 24;
    if (a < 8)
        return d;
    if (a > 250)
        return s;
    uint32_t out = 0;
    for (int sh = 0; sh <= 16; sh += 8)
        out |= (((a * ((s >> sh) & 255)) >> 8) + (((255 - a) * ((d >> sh) & 255)) >> 8)) << sh;
    return out;
}

Frame window(const Art& a, int x0, int y0)
{
    Frame f(W * H);
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            f[size_t(y) * W + size_t(x)] = a.argb[size_t(y + y0) * size_t(a.w) + size_t(x + x0)];
    return f;
}

Frame layer(Frame base, const Art& top)
{
    for (size_t i = 0; i < base.size(); i++)
        base[i] = over(top.argb[i], base[i]);
    return base;
}

void save(const std::string& path, const std::vector<Frame>& frames, int across)
{
    const int rows = (int(frames.size()) + across - 1) / across;
    std::vector<uint32_t> sheet(size_t(W * across) * size_t(H * rows), 0xFF000000u);
    for (size_t n = 0; n < frames.size(); n++)
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++)
                sheet[size_t(int(n) / across * H + y) * size_t(W * across) +
                      size_t(int(n) % across * W + x)] = 0xFF000000u | frames[n][size_t(y) * W + size_t(x)];
    png_write_rgba(path.c_str(), W * across, H * rows, sheet);
}

// The knot projected like the demo does (rotation about y, then x), filled
// with a plain scan of each front-facing triangle.
Frame silhouette(Frame f, double ay, double az)
{
    const Mesh m = make_mesh();
    std::vector<std::array<double, 2>> s;
    for (const auto& v : m.vertices) {
        double x = v[0] * std::cos(ay) + v[2] * std::sin(ay), y = v[1],
               z = -v[0] * std::sin(ay) + v[2] * std::cos(ay);
        const double x2 = x * std::cos(az) - y * std::sin(az), y2 = x * std::sin(az) + y * std::cos(az);
        x = x2 + 1.5;
        y = y2 - 0.3;
        z -= 20;
        s.push_back({x * 720 / -z + 160, -y * 720 / -z + 120});
    }
    for (const auto& t : m.triangles) {
        const auto &p0 = s[size_t(t[0])], &p1 = s[size_t(t[1])], &p2 = s[size_t(t[2])];
        const double area = (p1[1] - p0[1]) * (p2[0] - p0[0]) + (p1[0] - p0[0]) * (p0[1] - p2[1]);
        if (area <= 0)
            continue;
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++) {
                const auto edge = [&](const std::array<double, 2>& a, const std::array<double, 2>& b) {
                    return (b[0] - a[0]) * (y + 0.5 - a[1]) - (b[1] - a[1]) * (x + 0.5 - a[0]);
                };
                const double e0 = edge(p0, p1), e1 = edge(p1, p2), e2 = edge(p2, p0);
                if ((e0 <= 0 && e1 <= 0 && e2 <= 0) || (e0 >= 0 && e1 >= 0 && e2 >= 0))
                    f[size_t(y) * W + size_t(x)] = 0;
            }
    }
    return f;
}

void plot_dot(Frame& b, int i, uint32_t c)
{
    b[size_t(i)] = c;
    const uint32_t half = (c >> 1) & 0x7F7F7F;
    for (int n : {i - 1, i + 1, i - W, i + W})
        b[size_t(n)] = ((b[size_t(n)] >> 1) & 0x7F7F7F) + half;
}

// The halftone rule: discs on a 9-pixel grid, sized by the cell's bytes.
Frame halftone(Frame dst, const Frame& src, int strength)
{
    int disc[12][12];
    for (int a = 0; a < 12; a++)
        for (int b = 0; b < 12; b++) {
            const double d = std::sqrt(double((a - 6) * (a - 6) + (b - 6) * (b - 6)));
            disc[a][b] = d > 6.5 ? -1 : int((d + 0.25) * 42.666666666666664);
        }
    int ramp[42], level[256];
    for (int i = 0; i < 42; i++)
        ramp[i] = 256 * (42 - i) / 42;
    for (int v = 0; v < 256; v++)
        level[v] = std::min((v * strength) >> 8, 255);
    for (int cy = 0, parity = 0; cy < H; cy += 9, parity ^= 1)
        for (int cx = (9 * parity) / 2; cx < W; cx += 9) {
            int sum[4] = {0, 0, 0, 0}, n = 0;
            for (auto [sy, sx] : {std::pair{cy - 6, cx - 6}, {cy - 6, cx}, {cy, cx - 6}, {cy, cx}}) {
                if (sy < 0 || sx < 0)
                    continue;
                for (int k = 0; k < 4; k++)
                    sum[k] += int((src[size_t(sy * W + sx)] >> (8 * k)) & 255);
                n++;
            }
            for (int a = 0; a < 12; a++) {
                const int y = cy - 6 + a;
                if (y < 0)
                    continue;
                if (y >= H)
                    break;
                for (int b = 0; b < 12; b++) {
                    const int x = cx - 6 + b;
                    if (x < 0)
                        continue;
                    if (x >= W)
                        break;
                    const int D = disc[a][b];
                    if (D < 0)
                        continue;
                    uint32_t& p = dst[size_t(y * W + x)];
                    for (int k = 0; k < 4; k++) {
                        const int T = level[sum[k] / n];
                        int byte = int((p >> (8 * k)) & 255);
                        if (T >= 7 && D < T)
                            byte = 255;
                        else if (T >= 7 && D <= T + 41)
                            byte = std::min(byte + ramp[D - T], 255);
                        p = (p & ~(255u << (8 * k))) | uint32_t(byte) << (8 * k);
                    }
                }
            }
        }
    return dst;
}

// The crawl rule, with its own random numbers.
Frame crawl(Frame buf, const Art& target, int calls)
{
    struct Walker {
        int dx, dy, x, y, steps, life, active;
    };
    std::vector<Walker> w(200, Walker{0, 0, 0, 0, 0, 0, 0});
    w[0] = {-1, -1, 215, 180, 0, 60, 1};
    std::srand(1);
    for (int call = 0; call < calls; call++) {
        int drawn = 0;
        for (int k = 0; k < 200 && drawn < 12; k++) {
            Walker& a = w[size_t(k)];
            if (!a.active)
                continue;
            a.x += a.dx;
            a.y += a.dy;
            const int i = a.y * W + a.x;
            const uint32_t c = target.argb[size_t(i)];
            if ((c & 0x808080) == 0x808080 || (buf[size_t(i)] & 0x8080) == 0) {
                a.active = 0;
                continue;
            }
            plot_dot(buf, i, c);
            a.steps++;
            if (a.steps == a.life || a.steps == 2 * (a.life / 3) || a.steps == a.life / 3) {
                for (Walker& m : w)
                    if (!m.active) {
                        const bool left = a.steps == 2 * (a.life / 3);
                        m = {left ? -a.dy : a.dy, left ? a.dx : -a.dx, a.x, a.y, 0, std::rand() % 10 + 13, 1};
                        break;
                    }
                if (a.steps == a.life)
                    a.active = 0;
            }
            drawn++;
        }
    }
    return buf;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: content_preview <dir>\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::vector<Art> p;
    for (int n = 0; n < PICTURE_FILE_COUNT; n++)
        p.push_back(make_picture(n));

    Frame circles = window(p[0], 27, 9);
    const Frame mask = window(p[1], 16, 19);
    for (size_t i = 0; i < circles.size(); i++)
        circles[i] &= mask[i];
    Frame circles2 = window(p[0], 3, 21);
    const Frame mask2 = window(p[1], 30, 2);
    for (size_t i = 0; i < circles2.size(); i++)
        circles2[i] &= mask2[i];
    save(dir + "/circles.png", {circles, layer(layer(circles2, p[12]), p[4])}, 2);

    const Frame tower = p[6].argb, noise = p[14].argb, emblem = p[7].argb;
    save(dir + "/overlays.png",
         {layer(tower, p[8]), layer(tower, p[9]), layer(layer(noise, p[11]), p[5]), layer(circles2, p[4]),
          layer(emblem, p[10]), layer(noise, p[3]), p[13].argb, layer(tower, p[13])},
         2);
    const Frame black(W * H, 0);
    save(dir + "/mesh.png",
         {silhouette(emblem, 0.0, 0.0), silhouette(emblem, 0.8, 0.0),
          halftone(black, silhouette(emblem, 1.6, 0.0), 180),
          halftone(black, silhouette(emblem, 2.4, 0.6), 60), halftone(p[13].argb, emblem, 260),
          halftone(p[13].argb, emblem, 120)},
         2);
    save(dir + "/crawl.png", {crawl(noise, p[2], 200), crawl(noise, p[2], 500), p[2].argb}, 3);
    const std::vector<FitRect> rects = fit_flyin(emblem);
    std::vector<Frame> stages;
    for (size_t n : {500u, 1000u, 2000u, 3000u}) {
        const std::vector<uint8_t> paint = paint_flyin(std::span(rects).first(n));
        Frame f(W * H);
        for (size_t i = 0; i < f.size(); i++)
            f[i] = uint32_t(paint[i]) * 0x010101u;
        stages.push_back(f);
    }
    save(dir + "/flyin.png", stages, 2);
    return 0;
}
