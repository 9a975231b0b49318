// The mesh file: its layout and limits, that it is a closed surface wound
// outwards, and that the faces towards the camera are the ones the
// renderer's cull keeps.
#include "tests/content/read_png.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <utility>

namespace {

struct MeshFile {
    std::vector<int32_t> words;
    int n = 0, t = 0;
    std::array<double, 3> vertex(int i) const
    {
        return {words[size_t(1 + 3 * i)] / 65536.0, words[size_t(2 + 3 * i)] / 65536.0,
                words[size_t(3 + 3 * i)] / 65536.0};
    }
    std::array<int32_t, 3> triangle(int i) const
    {
        const size_t at = size_t(2 + 3 * n + 3 * i);
        return {words[at], words[at + 1], words[at + 2]};
    }
};

MeshFile load()
{
    MeshFile m;
    const std::vector<uint8_t> bytes = read_file(data_path("mesh.bare"));
    for (size_t i = 0; i + 3 < bytes.size(); i += 4)
        m.words.push_back(int32_t(uint32_t(bytes[i]) << 24 | uint32_t(bytes[i + 1]) << 16 |
                                  uint32_t(bytes[i + 2]) << 8 | bytes[i + 3]));
    if (!m.words.empty())
        m.n = m.words[0];
    if (m.n > 0 && size_t(1 + 3 * m.n) < m.words.size())
        m.t = m.words[size_t(1 + 3 * m.n)];
    return m;
}

using V = std::array<double, 3>;
V sub(V a, V b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
V cross(V a, V b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(V a, V b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

}  // namespace

TEST(Mesh, LayoutAndLimits)
{
    const MeshFile m = load();
    ASSERT_GT(m.n, 3);
    ASSERT_GT(m.t, 3);
    const size_t words = size_t(2 + 3 * m.n + 3 * m.t);
    EXPECT_LE(words, 2500u) << "the demo reads 10000 bytes";
    EXPECT_EQ(m.words.size(), words) << "file holds exactly the mesh";
    EXPECT_LE(m.n, 1000);
    ASSERT_LE(words, m.words.size());
    for (int i = 0; i < m.t; i++)
        for (int32_t v : m.triangle(i)) {
            EXPECT_GE(v, 0) << "triangle " << i;
            EXPECT_LT(v, m.n) << "triangle " << i;
        }
}

TEST(Mesh, StaysInFrontOfTheCamera)
{
    // The scene pushes the centre at least 7 units away along -Z and only
    // rotates it, so a vertex within 7 units of the origin never reaches
    // Z = 0. Coordinates under 8 units also keep 4.12 x 16.16 in 32 bits.
    const MeshFile m = load();
    ASSERT_GT(m.n, 0);
    double far = 0;
    for (int i = 0; i < m.n; i++) {
        const V v = m.vertex(i);
        far = std::max(far, std::sqrt(dot(v, v)));
    }
    EXPECT_LT(far, 6.5);
    EXPECT_GT(far, 2.0) << "too small to read at 20 units";
}

TEST(Mesh, ClosedAndWoundOutwards)
{
    const MeshFile m = load();
    ASSERT_GT(m.t, 0);
    std::map<std::pair<int, int>, int> edges;
    double volume = 0;
    for (int i = 0; i < m.t; i++) {
        const auto t = m.triangle(i);
        for (int k = 0; k < 3; k++)
            edges[{t[size_t(k)], t[size_t((k + 1) % 3)]}]++;
        volume += dot(m.vertex(t[0]), cross(m.vertex(t[1]), m.vertex(t[2]))) / 6.0;
    }
    // Every directed edge once and its reverse once: a closed surface,
    // consistently wound.
    for (const auto& [e, count] : edges) {
        EXPECT_EQ(count, 1) << e.first << "->" << e.second;
        EXPECT_EQ(edges.count({e.second, e.first}), 1u) << e.first << "->" << e.second;
    }
    EXPECT_GT(volume, 0.5) << "faces wound inwards";
}

TEST(Mesh, FacesTowardsTheCameraPassTheCull)
{
    const MeshFile m = load();
    ASSERT_GT(m.t, 0);
    for (double angle : {0.0, 0.9, 2.1, 3.3, 4.4, 5.6}) {
        std::vector<V> cam;
        std::vector<std::array<int64_t, 2>> screen;
        for (int i = 0; i < m.n; i++) {
            const V v = m.vertex(i);
            const V c = {v[0] * std::cos(angle) + v[2] * std::sin(angle) + 1.5, v[1] - 0.3,
                         -v[0] * std::sin(angle) + v[2] * std::cos(angle) - 20.0};
            cam.push_back(c);
            // The renderer's projection, in 16.16.
            const int64_t X = std::llround(c[0] * 65536), Y = std::llround(c[1] * 65536);
            const int64_t D = std::llabs(std::llround(c[2] * 65536));
            screen.push_back({X * 720 / D + 160, Y * -720 / D + 120});
        }
        int wrong = 0;
        for (int i = 0; i < m.t; i++) {
            const auto t = m.triangle(i);
            const V a = cam[size_t(t[0])], n = cross(sub(cam[size_t(t[1])], a), sub(cam[size_t(t[2])], a));
            const double facing = -dot(n, a) / std::sqrt(dot(n, n) * dot(a, a));
            const auto &p0 = screen[size_t(t[0])], &p1 = screen[size_t(t[1])], &p2 = screen[size_t(t[2])];
            const int64_t area = (p1[1] - p0[1]) * (p2[0] - p0[0]) + (p1[0] - p0[0]) * (p0[1] - p2[1]);
            // Nearly edge-on faces may round either way.
            if (facing > 0.15)
                wrong += area <= 0;
            if (facing < -0.15)
                wrong += area > 0;
        }
        EXPECT_EQ(wrong, 0) << "angle " << angle;
    }
}
