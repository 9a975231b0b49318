// The knot's centre line is the (2, 3) torus knot
//   p(t) = (sin t + 2 sin 2t, cos t - 2 cos 2t, -sin 3t) x scale,
// swept by a six-sided tube along its Frenet frame (its curvature never
// vanishes, and the frame closes exactly at t = 2 pi, so the tube has no
// seam). Its farthest vertex lies at most 3 x scale + tube radius = 3.15
// units from the origin: the scene keeps the centre at least 7 units in
// front of the camera, so no vertex
// reaches Z = 0 under any rotation, and 16.16 coordinates times the 4.12
// matrix stay far inside 32 bits.
#include "tools/content/knot_mesh.h"

#include <cmath>

namespace {

using V3 = std::array<double, 3>;

constexpr double scale = 0.9;
constexpr double tube_radius = 0.45;
constexpr double pi = 3.14159265358979323846;

V3 centre(double t)
{
    return {scale * (std::sin(t) + 2 * std::sin(2 * t)), scale * (std::cos(t) - 2 * std::cos(2 * t)),
            scale * -std::sin(3 * t)};
}

V3 sub(V3 a, V3 b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
V3 add(V3 a, V3 b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
V3 mul(V3 a, double k) { return {a[0] * k, a[1] * k, a[2] * k}; }
double dot(V3 a, V3 b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
V3 cross(V3 a, V3 b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
V3 unit(V3 a) { return mul(a, 1.0 / std::sqrt(dot(a, a))); }

}  // namespace

Mesh make_mesh()
{
    Mesh m;
    const double h = 1e-4;
    for (int i = 0; i < knot_rings; i++) {
        const double t = 2 * pi * i / knot_rings;
        const V3 p = centre(t);
        const V3 d1 = mul(sub(centre(t + h), centre(t - h)), 0.5 / h);
        const V3 d2 = mul(add(sub(centre(t + h), mul(p, 2)), centre(t - h)), 1.0 / (h * h));
        const V3 tangent = unit(d1);
        const V3 normal = unit(sub(d2, mul(tangent, dot(d2, tangent))));
        const V3 binormal = cross(tangent, normal);
        for (int k = 0; k < tube_sides; k++) {
            const double a = 2 * pi * k / tube_sides;
            m.vertices.push_back(add(
                p, add(mul(normal, tube_radius * std::cos(a)), mul(binormal, tube_radius * std::sin(a)))));
        }
    }
    // Ring i, side k. Going round a ring (k up) turns from the normal to the
    // binormal, and (binormal x tangent) = normal points out of the tube; so
    // (i,k) -> (i,k+1) -> (i+1,k) is anticlockwise seen from outside, which
    // is what the renderer's cull lets through when the face looks at it.
    const auto id = [](int i, int k) { return int32_t((i % knot_rings) * tube_sides + (k % tube_sides)); };
    for (int i = 0; i < knot_rings; i++) {
        for (int k = 0; k < tube_sides; k++) {
            m.triangles.push_back({id(i, k), id(i, k + 1), id(i + 1, k)});
            m.triangles.push_back({id(i, k + 1), id(i + 1, k + 1), id(i + 1, k)});
        }
    }
    return m;
}

std::vector<int32_t> mesh_words(const Mesh& mesh)
{
    std::vector<int32_t> w;
    w.push_back(int32_t(mesh.vertices.size()));
    for (const auto& v : mesh.vertices)
        for (double c : v)
            w.push_back(int32_t(std::lround(c * 65536.0)));
    w.push_back(int32_t(mesh.triangles.size()));
    for (const auto& t : mesh.triangles)
        for (int32_t i : t)
            w.push_back(i);
    return w;
}

std::vector<uint8_t> mesh_file_bytes(const Mesh& mesh)
{
    std::vector<uint8_t> bytes;
    for (int32_t word : mesh_words(mesh)) {
        const uint32_t u = uint32_t(word);
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(uint8_t(u >> shift));
    }
    return bytes;
}
