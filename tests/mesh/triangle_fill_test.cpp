// The triangle filler, point by point: the worked triangles and clips, and
// a comparison with a plain model of the rules on random triangles (which
// walks every row of every edge, above the screen included). Frames live on
// the heap between guard words, so any stray write shows in every build.
#include "gfx/mesh/triangle_fill.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr uint32_t BACKGROUND = 0x12345678;
constexpr size_t GUARD = 4096;

struct GuardedFrame {
    std::vector<uint32_t> words = std::vector<uint32_t>(GUARD + FRAME_PIXELS + GUARD, BACKGROUND);
    FrameView view() { return FrameView(words.data() + GUARD, FRAME_PIXELS); }
    uint32_t at(int x, int y) const { return words[GUARD + size_t(y * FRAME_WIDTH + x)]; }
    bool guards_intact() const
    {
        return std::all_of(words.begin(), words.begin() + GUARD,
                           [](uint32_t w) { return w == BACKGROUND; }) &&
               std::all_of(words.end() - GUARD, words.end(), [](uint32_t w) { return w == BACKGROUND; });
    }
    int filled() const { return int(std::count(words.begin(), words.end(), MESH_COLOUR)); }
};

MeshPoint pt(int32_t x, int32_t y) { return {x, y, 0}; }

// The rules as written, for coordinates small enough that no 32-bit step
// overflows (64-bit here anyway).
void model_fill(std::vector<uint32_t>& frame, MeshPoint p0, MeshPoint p1, MeshPoint p2)
{
    const int64_t area = int64_t(p1.y - p0.y) * (p2.x - p0.x) + int64_t(p1.x - p0.x) * (p0.y - p2.y);
    if (area <= 0)
        return;
    int64_t top = std::min({1000000, p0.y, p1.y, p2.y}), bottom = std::max({-1000000, p0.y, p1.y, p2.y});
    if (top > 239 || bottom < 0)
        return;
    top = std::max<int64_t>(top, 0);
    bottom = std::min<int64_t>(bottom, 239);
    std::vector<int64_t> left(240, 100000000), right(240, -100000000);
    const MeshPoint edges[3][2] = {{p0, p1}, {p1, p2}, {p2, p0}};
    for (const auto& e : edges) {
        if (e[0].y == e[1].y)
            continue;
        const MeshPoint u = e[0].y < e[1].y ? e[0] : e[1], l = e[0].y < e[1].y ? e[1] : e[0];
        const int64_t step = ((int64_t(l.x) << 16) - (int64_t(u.x) << 16)) / (l.y - u.y);
        int64_t x = int64_t(u.x) << 16;
        for (int64_t y = u.y; y <= l.y; y++, x += step) {
            if (y > 239)
                break;
            if (y >= 0) {
                left[size_t(y)] = std::min(left[size_t(y)], x);
                right[size_t(y)] = std::max(right[size_t(y)], x);
            }
        }
    }
    for (int64_t y = top; y <= bottom; y++) {
        const int64_t r = right[size_t(y)], l = left[size_t(y)];
        if (r < 0 || l > 0x13FFFFF)
            continue;
        const int64_t xl = l < 0 ? 0 : l >> 16, xr = r > 0x13FFFFF ? 319 : r >> 16;
        for (int64_t x = xl; x <= xr; x++)
            frame[size_t(y * 320 + x)] = 0;
    }
}

class TriangleFill : public ::testing::Test {
protected:
    void SetUp() override { mesh_reset(); }
    GuardedFrame frame;
};

TEST_F(TriangleFill, SmallTriangleRowByRow)
{
    mesh_fill_triangle(frame.view(), pt(0, 0), pt(0, 10), pt(10, 0));
    EXPECT_EQ(frame.filled(), 66);
    for (int y = 0; y <= 10; y++)
        for (int x = 0; x <= 12; x++)
            EXPECT_EQ(frame.at(x, y) == MESH_COLOUR, x <= 10 - y) << x << "," << y;

    GuardedFrame other;
    mesh_fill_triangle(other.view(), pt(0, 0), pt(10, 0), pt(0, 10));  // clockwise
    mesh_fill_triangle(other.view(), pt(0, 5), pt(100, 5), pt(200, 5));
    EXPECT_EQ(other.filled(), 0);
}

TEST_F(TriangleFill, ClippedRowsAndSpans)
{
    mesh_fill_triangle(frame.view(), pt(0, -50), pt(0, 300), pt(100, 125));
    for (int y = 0; y < 240; y++)
        EXPECT_EQ(frame.at(0, y), MESH_COLOUR) << y;
    EXPECT_TRUE(frame.guards_intact());

    // Row 10 runs from x = -20 to x = 400: the whole row, and the spans
    // tables keep the clamped ends.
    GuardedFrame wide;
    mesh_fill_triangle(wide.view(), pt(-20, 10), pt(400, 20), pt(400, 0));
    for (int x = 0; x < 320; x++)
        EXPECT_EQ(wide.at(x, 10), MESH_COLOUR) << x;
    EXPECT_EQ(mesh_state().left[10], 0);
    EXPECT_EQ(mesh_state().right[10], 319 * 65536);
    EXPECT_TRUE(wide.guards_intact());

    // The last pixels of the frame, in a frame with nothing after it: short
    // spans there must not be written as wider stores.
    std::vector<uint32_t> exact(FRAME_PIXELS, BACKGROUND);
    mesh_fill_triangle(FrameView(exact.data(), FRAME_PIXELS), pt(319, 230), pt(310, 239), pt(319, 239));
    EXPECT_EQ(exact.back(), MESH_COLOUR);
    EXPECT_EQ(exact[FRAME_PIXELS - 11], BACKGROUND);

    GuardedFrame off;
    mesh_fill_triangle(off.view(), pt(330, 0), pt(330, 10), pt(340, 0));
    mesh_fill_triangle(off.view(), pt(-30, 0), pt(-30, 10), pt(-20, 0));
    mesh_fill_triangle(off.view(), pt(0, 240), pt(0, 250), pt(10, 240));
    mesh_fill_triangle(off.view(), pt(0, -20), pt(0, -1), pt(10, -20));
    EXPECT_EQ(off.filled(), 0);
}

TEST_F(TriangleFill, MatchesModelOnRandomTriangles)
{
    std::mt19937 rng(12);
    std::uniform_int_distribution<int32_t> xs(-400, 720), ys(-300, 540), near(-20, 340);
    for (int i = 0; i < 3000; i++) {
        auto& dist = i % 2 ? xs : near;
        const MeshPoint p[3] = {pt(dist(rng), ys(rng)), pt(dist(rng), ys(rng)), pt(dist(rng), ys(rng))};
        std::vector<uint32_t> expect(FRAME_PIXELS, BACKGROUND);
        model_fill(expect, p[0], p[1], p[2]);
        GuardedFrame got;
        mesh_fill_triangle(got.view(), p[0], p[1], p[2]);
        ASSERT_TRUE(std::equal(expect.begin(), expect.end(), got.words.begin() + GUARD))
            << i << ": (" << p[0].x << "," << p[0].y << ") (" << p[1].x << "," << p[1].y << ") (" << p[2].x
            << "," << p[2].y << ")";
    }
}

// Any 32-bit points: nothing written outside the frame, no undefined step,
// and no walk of billions of rows above the screen.
TEST_F(TriangleFill, ExtremePointsStayInTheFrame)
{
    constexpr int32_t lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
    std::mt19937 rng(5);
    const int32_t picks[] = {lo, hi, lo + 1, hi - 1, -32768, 32767, 0, 160, 239, 320, -1};
    for (int i = 0; i < 5000; i++) {
        auto any = [&] { return rng() % 3 ? picks[rng() % std::size(picks)] : int32_t(rng()); };
        mesh_fill_triangle(frame.view(), pt(any(), any()), pt(any(), any()), pt(any(), any()));
    }
    mesh_fill_triangle(frame.view(), pt(0, lo), pt(0, hi), pt(hi, 0));
    EXPECT_TRUE(frame.guards_intact());
}

}  // namespace
