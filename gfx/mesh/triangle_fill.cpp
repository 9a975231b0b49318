#include "gfx/mesh/triangle_fill.h"

#include <algorithm>

namespace {

constexpr int32_t LAST_ROW = FRAME_HEIGHT - 1;
constexpr int32_t SPAN_MAX = FRAME_WIDTH * 65536 - 1;  // 16.16: beyond it a span starts right of the frame
constexpr int32_t SPAN_LAST = (FRAME_WIDTH - 1) * 65536;

inline int32_t sub_wrap(int32_t a, int32_t b) { return int32_t(uint32_t(a) - uint32_t(b)); }

// Records the edge's x (16.16) on each of its rows that lies on screen. The
// edge is walked from its upper end with one division for the whole edge;
// the rows above the frame are stepped over in one multiply, which lands on
// the same 32-bit x as stepping them one by one.
void walk_edge(MeshState& s, const MeshPoint& a, const MeshPoint& b)
{
    if (a.y == b.y)
        return;
    const MeshPoint& upper = a.y < b.y ? a : b;
    const MeshPoint& lower = a.y < b.y ? b : a;
    if (lower.y < 0 || upper.y > LAST_ROW)
        return;
    const int32_t dx = int32_t((uint32_t(lower.x) << 16) - (uint32_t(upper.x) << 16));
    // The row count is exact (1 .. 2^32 - 1), so the quotient fits in 32 bits.
    const uint32_t step = uint32_t(int32_t(dx / (int64_t(lower.y) - upper.y)));
    uint32_t x = uint32_t(upper.x) << 16;
    int32_t y = upper.y;
    if (y < 0) {
        x += step * uint32_t(-int64_t(y));
        y = 0;
    }
    const int32_t last = std::min(lower.y, LAST_ROW);
    for (; y <= last; y++, x += step) {
        const int32_t xi = int32_t(x);
        s.left[size_t(y)] = std::min(s.left[size_t(y)], xi);
        s.right[size_t(y)] = std::max(s.right[size_t(y)], xi);
    }
}

}  // namespace

void mesh_fill_triangle(FrameView target, const MeshPoint& p0, const MeshPoint& p1, const MeshPoint& p2)
{
    const uint32_t area = uint32_t(sub_wrap(p1.y, p0.y)) * uint32_t(sub_wrap(p2.x, p0.x)) +
                          uint32_t(sub_wrap(p1.x, p0.x)) * uint32_t(sub_wrap(p0.y, p2.y));
    if (int32_t(area) <= 0)
        return;
    int32_t top = std::min({1000000, p0.y, p1.y, p2.y});
    int32_t bottom = std::max({-1000000, p0.y, p1.y, p2.y});
    if (top > LAST_ROW || bottom < 0)
        return;
    top = std::max(top, 0);
    bottom = std::min(bottom, LAST_ROW);

    MeshState& s = mesh_state();
    for (int32_t y = top; y <= bottom; y++) {
        s.right[size_t(y)] = -MESH_SPAN_EMPTY;
        s.left[size_t(y)] = MESH_SPAN_EMPTY;
    }
    walk_edge(s, p0, p1);
    walk_edge(s, p1, p2);
    walk_edge(s, p2, p0);

    for (int32_t y = top; y <= bottom; y++) {
        const int32_t r = s.right[size_t(y)];
        const int32_t l = s.left[size_t(y)];
        if (r < 0 || l > SPAN_MAX)
            continue;
        int32_t xl = 0;
        if (l < 0)
            s.left[size_t(y)] = 0;
        else
            xl = l >> 16;
        int32_t xr = FRAME_WIDTH - 1;
        if (r > SPAN_MAX) {
            s.right[size_t(y)] = SPAN_LAST;
        } else {
            xr = r >> 16;
            if (xl > xr)
                continue;
        }
        std::fill_n(target.begin() + y * FRAME_WIDTH + xl, xr - xl + 1, MESH_COLOUR);
    }
}
