// The model matrix and the projection: the worked values, the mirror rule
// for vertices behind the camera, and the guards where the 32-bit design
// would divide by zero or overflow.
#include "gfx/mesh/mesh_matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

class Matrix : public ::testing::Test {
protected:
    void SetUp() override { mesh_reset(); }
    const MeshMatrix& g() { return mesh_state().matrix; }
};

TEST_F(Matrix, TranslateTruncatesTowardZero)
{
    mesh_translate(1.5f, -0.3f, -20.0f);
    EXPECT_EQ(g()[0][3], 6144);
    EXPECT_EQ(g()[1][3], -1228);  // -1228.8
    EXPECT_EQ(g()[2][3], -81920);
    mesh_translate(0.5f, 0.0f, 0.0f);  // adds onto the entry
    EXPECT_EQ(g()[0][3], 8192);
    mesh_reset_matrix();
    EXPECT_EQ(g()[0][3], 0);
    EXPECT_EQ(g()[0][0], MESH_ONE);
}

TEST_F(Matrix, Rotations)
{
    mesh_translate(1.5f, -0.3f, -20.0f);
    mesh_rotate_z(0.7f);
    const MeshMatrix before = g();
    mesh_rotate_y(0.0f);
    EXPECT_EQ(g(), before);

    // A quarter turn about y: cos truncates to 0, sin to 4096; the product
    // moves the columns and keeps the translation.
    mesh_reset_matrix();
    mesh_translate(0.0f, 0.0f, -20.0f);
    mesh_rotate_y(float(M_PI / 2));
    const MeshMatrix quarter = {{{0, 0, 4096, 0}, {0, 4096, 0, 0}, {-4096, 0, 0, -81920}, {0, 0, 0, 4096}}};
    EXPECT_EQ(g(), quarter);

    // Each product truncates toward zero on its own: 2500 x 2500 / 4096 is
    // 1525.88, so two of them make 3050 where the whole sum would be 3051,
    // and -1525 each (not -1526) on the negative side.
    mesh_reset_matrix();
    const MeshMatrix m = {{{2500, -2500, 0, 0}, {2500, 2500, 0, 0}, {0, 0, 4096, 0}, {0, 0, 0, 4096}}};
    mesh_apply_matrix(m);
    EXPECT_EQ(g(), m);
    mesh_apply_matrix(m);
    EXPECT_EQ(g()[0][0], 0);
    EXPECT_EQ(g()[0][1], -3050);
    EXPECT_EQ(g()[1][0], 3050);
    EXPECT_EQ(g()[1][1], 0);
}

TEST_F(Matrix, Projection)
{
    mesh_translate(0.0f, 0.0f, -20.0f);
    const MeshPoint p = mesh_project(65536, 0, 0);
    EXPECT_EQ(p.x, 196);
    EXPECT_EQ(p.y, 120);
    EXPECT_EQ(p.z, -1310720);
    // Screen y grows downwards, and divisions truncate toward zero.
    const MeshPoint up = mesh_project(0, 65536 + 100, 0);
    EXPECT_EQ(up.y, 120 - (65636 * 720 / 1310720));

    // Behind the camera a vertex lands where its mirror in front does.
    mesh_reset_matrix();
    const MeshPoint front = mesh_project(70000, -50000, -400000);
    const MeshPoint back = mesh_project(70000, -50000, 400000);
    EXPECT_EQ(front.x, back.x);
    EXPECT_EQ(front.y, back.y);
    EXPECT_EQ(back.z, 400000);
}

// A vertex on the camera plane projects as at |Z| = 1; products past 32 bits
// wrap. Under the sanitizers any undefined step here fails the run.
TEST_F(Matrix, ExtremesAreDefined)
{
    const MeshPoint on_plane = mesh_project(1, -2, 0);
    EXPECT_EQ(on_plane.x, 160 + 720);
    EXPECT_EQ(on_plane.y, 120 + 1440);
    mesh_translate(50.0f, 0.0f, -1.0f);  // X x 720 passes 2^31
    const MeshPoint wide = mesh_project(0, 0, 0);
    EXPECT_EQ(wide.x, int32_t(uint32_t(50 * 65536) * 720u) / 65536 + 160);
    mesh_reset_matrix();

    constexpr int32_t lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
    mesh_translate(1e30f, -1e30f, std::nanf(""));
    EXPECT_EQ(g()[0][3], hi);
    EXPECT_EQ(g()[1][3], lo);
    EXPECT_EQ(g()[2][3], 0);
    mesh_rotate_y(std::numeric_limits<float>::infinity());
    mesh_rotate_z(1e20f);
    std::mt19937 rng(7);
    for (int i = 0; i < 2000; i++) {
        MeshMatrix m;
        for (auto& row : m)
            for (auto& e : row)
                e = int32_t(rng());
        mesh_apply_matrix(m);
        const int32_t pick[] = {lo, hi, 0, int32_t(rng())};
        mesh_project(pick[rng() % 4], pick[rng() % 4], pick[rng() % 4]);
    }
}

}  // namespace
