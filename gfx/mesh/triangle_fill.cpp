#include "gfx/mesh/triangle_fill.h"

#include "core/wrap_int.h"

#include <algorithm>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int32_t LAST_ROW = FRAME_HEIGHT - 1;
constexpr int32_t SPAN_MAX = FRAME_WIDTH * 65536 - 1;  // 16.16: beyond it a span starts right of the frame
constexpr int32_t SPAN_LAST = (FRAME_WIDTH - 1) * 65536;

// One edge walked down from its upper end u to its lower end l (u.y < l.y):
// x (16.16) starts at u.x << 16 on row u.y and moves by one truncated step
// per row, all in 32-bit wrap-around. Placing it on a later row by one
// multiply lands on the same x as stepping row by row.
struct Edge {
    int32_t y0;
    uint32_t x0;
    uint32_t step;
    uint32_t x_at(int32_t y) const { return x0 + step * uint32_t(int64_t(y) - y0); }
};

Edge make_edge(const MeshPoint& u, const MeshPoint& l)
{
    const int32_t dx = int32_t((uint32_t(l.x) << 16) - (uint32_t(u.x) << 16));
    // The row count is exact (1 .. 2^32 - 1), so the quotient fits in 32
    // bits; a 32-bit division whenever the count allows, as it is faster.
    const int64_t rows = int64_t(l.y) - u.y;
    const uint32_t step = uint32_t(rows <= INT32_MAX ? dx / int32_t(rows) : int32_t(dx / rows));
    return {u.y, uint32_t(u.x) << 16, step};
}

// Spans are mostly 1 to 16 pixels (the knot's faces are thin slivers), and
// their lengths vary row to row too much for a branch to guess. Such a span
// is written as four 4-pixel stores over the 16 pixels from its start, each
// lane keeping the value it held unless it lies inside the span; pixels past
// the span get their own value back. `end` is the end of the frame, which
// those 16 pixels must not pass. Longer spans take 4-pixel stores, the last
// one overlapping the one before.
inline void fill_span(uint32_t* p, int32_t n, const uint32_t* end)
{
#if defined(__SSE2__)
    static_assert(MESH_COLOUR == 0, "lanes inside the span are cleared");
    if (n <= 16 && p + 16 <= end) {
        const __m128i lanes = _mm_setr_epi32(0, 1, 2, 3), four = _mm_set1_epi32(4);
        __m128i count = _mm_set1_epi32(n);  // lanes below it are inside
        __m128i* q = reinterpret_cast<__m128i*>(p);
        _mm_storeu_si128(q, _mm_andnot_si128(_mm_cmpgt_epi32(count, lanes), _mm_loadu_si128(q)));
        count = _mm_sub_epi32(count, four);
        _mm_storeu_si128(q + 1, _mm_andnot_si128(_mm_cmpgt_epi32(count, lanes), _mm_loadu_si128(q + 1)));
        count = _mm_sub_epi32(count, four);
        _mm_storeu_si128(q + 2, _mm_andnot_si128(_mm_cmpgt_epi32(count, lanes), _mm_loadu_si128(q + 2)));
        count = _mm_sub_epi32(count, four);
        _mm_storeu_si128(q + 3, _mm_andnot_si128(_mm_cmpgt_epi32(count, lanes), _mm_loadu_si128(q + 3)));
        return;
    }
    if (n >= 4) {
        const __m128i colour = _mm_set1_epi32(int32_t(MESH_COLOUR));
        for (int32_t i = 0; i < n - 4; i += 4)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), colour);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + n - 4), colour);
        return;
    }
#endif
    (void)end;
    for (; n > 0; n--)
        *p++ = MESH_COLOUR;
}

// Row y's span: recorded in the span tables, then filled from the integer
// part of its left end to that of its right, clipped to the frame; a
// clipped end is written back to its table.
[[gnu::always_inline]] inline void span_row(FrameView target, MeshState& s, int32_t y, int32_t l, int32_t r)
{
    s.left[size_t(y)] = l;
    s.right[size_t(y)] = r;
    uint32_t* row = target.data() + y * FRAME_WIDTH;
    const uint32_t* end = target.data() + FRAME_PIXELS;
    if (uint32_t(l) <= uint32_t(SPAN_MAX) && uint32_t(r) <= uint32_t(SPAN_MAX)) {
        fill_span(row + (l >> 16), (r >> 16) - (l >> 16) + 1, end);  // l <= r
        return;
    }
    if (r < 0 || l > SPAN_MAX)
        return;
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
            return;
    }
    fill_span(row + xl, xr - xl + 1, end);
}

// Rows first..last between two edges, stepping both. Which edge is left
// flips unpredictably from triangle to triangle, so the order is taken
// with conditional moves rather than branches.
[[gnu::always_inline]] inline void span_rows(FrameView target, MeshState& s, int32_t first, int32_t last,
                                             const Edge& a, const Edge& b)
{
    uint32_t xa = a.x_at(first), xb = b.x_at(first);
    for (int32_t y = first; y <= last; y++, xa += a.step, xb += b.step) {
        const int32_t ia = int32_t(xa), ib = int32_t(xb);
        const bool a_left = ia < ib;
        span_row(target, s, y, a_left ? ia : ib, a_left ? ib : ia);
    }
}

}  // namespace

// Each row takes the smallest and largest x of the edges that cross it,
// every edge walked from its upper end. With the corners sorted by row into
// a, b, c, the long edge a-c crosses every row; a-b joins it down to row
// b.y and b-c from there, so row b.y meets all three. A flat edge is never
// walked. Ties in the sort change which edge is called which, not the set
// of edges on a row, so the spans do not depend on them.
void mesh_fill_triangle(FrameView target, const MeshPoint& p0, const MeshPoint& p1, const MeshPoint& p2)
{
    const uint32_t area = uint32_t(wrap_sub(p1.y, p0.y)) * uint32_t(wrap_sub(p2.x, p0.x)) +
                          uint32_t(wrap_sub(p1.x, p0.x)) * uint32_t(wrap_sub(p0.y, p2.y));
    if (int32_t(area) <= 0)
        return;
    const MeshPoint *a = &p0, *b = &p1, *c = &p2;
    if (b->y < a->y)
        std::swap(a, b);
    if (c->y < b->y)
        std::swap(b, c);
    if (b->y < a->y)
        std::swap(a, b);
    if (a->y > LAST_ROW || c->y < 0)
        return;
    // a.y < c.y: three corners on one row have no area.
    const int32_t top = std::max(a->y, 0), bottom = std::min(c->y, LAST_ROW);

    MeshState& s = mesh_state();
    const Edge ac = make_edge(*a, *c);
    if (a->y < b->y) {
        const Edge ab = make_edge(*a, *b);
        if (top < b->y)
            span_rows(target, s, top, std::min(b->y - 1, bottom), ac, ab);
        if (b->y >= top && b->y <= bottom) {
            // Row b.y meets all three edges; b-c starts there at b.x.
            const int32_t x_long = int32_t(ac.x_at(b->y)), x_ab = int32_t(ab.x_at(b->y));
            int32_t l = std::min(x_long, x_ab), r = std::max(x_long, x_ab);
            if (b->y < c->y) {
                l = std::min(l, int32_t(uint32_t(b->x) << 16));
                r = std::max(r, int32_t(uint32_t(b->x) << 16));
            }
            span_row(target, s, b->y, l, r);
        }
    } else if (b->y >= 0) {
        // a-b is flat: on row b.y only a-c and b-c, starting at a.x and b.x.
        const int32_t xa = int32_t(uint32_t(a->x) << 16), xb = int32_t(uint32_t(b->x) << 16);
        span_row(target, s, b->y, std::min(xa, xb), std::max(xa, xb));
    }
    if (b->y < c->y && b->y < bottom)
        span_rows(target, s, std::max(b->y + 1, top), bottom, ac, make_edge(*b, *c));
}
