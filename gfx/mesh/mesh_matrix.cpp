#include "gfx/mesh/mesh_matrix.h"

#include "core/wrap_int.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

// a x b / 4096 for one term of a product: the 32-bit product wraps, then
// divides with truncation toward zero.
inline int32_t mul_4_12(int32_t a, int32_t b) { return wrap_mul(a, b) / MESH_ONE; }

// 1.0 in 4.12 as a float, for the conversions from float (exact).
constexpr float MESH_ONE_F = float(MESH_ONE);

// The integer part of v, toward zero. Values beyond 32 bits saturate and
// NaN gives 0, where a plain conversion would be undefined.
int32_t truncate_float(float v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483648.0f)
        return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0f)
        return std::numeric_limits<int32_t>::min();
    return int32_t(v);
}

MeshMatrix identity()
{
    MeshMatrix m{};
    for (size_t i = 0; i < 4; i++)
        m[i][i] = MESH_ONE;
    return m;
}

// Projects one camera-space coordinate: (v x f) / |z| + centre, with the
// product wrapping at 32 bits. |z| is at least 1, so a vertex on the camera
// plane projects as if it were 1/65536 unit away instead of dividing by 0.
inline int32_t project_axis(int32_t v, int32_t f, int64_t depth, int32_t centre)
{
    const int32_t scaled = wrap_mul(v, f);
    const int32_t q = depth <= INT32_MAX ? scaled / int32_t(depth) : int32_t(scaled / depth);
    return wrap_add(q, centre);
}

// Multiplies by the rotation in the plane of axes a and b whose cosine and
// sine are c and s: [a][a] = [b][b] = c, [a][b] = s, [b][a] = -s, each
// times 4096 and truncated.
void apply_rotation(size_t a, size_t b, float c, float s)
{
    MeshMatrix r = identity();
    r[a][a] = truncate_float(c * MESH_ONE_F);
    r[a][b] = truncate_float(s * MESH_ONE_F);
    r[b][a] = truncate_float(-s * MESH_ONE_F);
    r[b][b] = truncate_float(c * MESH_ONE_F);
    mesh_apply_matrix(r);
}

}  // namespace

void mesh_reset_matrix() { mesh_state().matrix = identity(); }

void mesh_translate(float x, float y, float z)
{
    MeshMatrix& g = mesh_state().matrix;
    const float a[3] = {x, y, z};
    for (size_t row = 0; row < 3; row++)
        g[row][3] = truncate_float(a[row] * MESH_ONE_F + float(g[row][3]));
}

void mesh_rotate_y(float angle)
{
    float s, c;
    sincosf(angle, &s, &c);
    apply_rotation(0, 2, c, s);
}

void mesh_rotate_z(float angle)
{
    float s, c;
    sincosf(angle, &s, &c);
    apply_rotation(0, 1, c, -s);
}

void mesh_apply_matrix(const MeshMatrix& m)
{
    MeshMatrix& g = mesh_state().matrix;
    MeshMatrix r{};
    for (size_t row = 0; row < 4; row++)
        for (size_t k = 0; k < 4; k++) {
            int32_t sum = 0;
            for (size_t j = 0; j < 4; j++)
                sum = wrap_add(sum, mul_4_12(g[row][j], m[j][k]));
            r[row][k] = sum;
        }
    g = r;
}

MeshPoint mesh_project(int32_t x, int32_t y, int32_t z)
{
    const MeshMatrix& g = mesh_state().matrix;
    int32_t v[3];
    for (size_t i = 0; i < 3; i++) {
        int32_t sum = wrap_add(mul_4_12(g[i][0], x), mul_4_12(g[i][1], y));
        sum = wrap_add(sum, mul_4_12(g[i][2], z));
        v[i] = wrap_add(sum, wrap_mul(g[i][3], 16));
    }
    const int64_t depth = std::max<int64_t>(std::abs(int64_t(v[2])), 1);
    return {project_axis(v[0], MESH_FOCAL, depth, MESH_CENTRE_X),
            project_axis(v[1], -MESH_FOCAL, depth, MESH_CENTRE_Y), v[2]};
}
