// The solid of the mesh scene: a trefoil knot drawn as a closed tube,
// written as the big-endian word image the demo loads.
//
// Entry points:
//   Mesh, make_mesh()        vertices in model units and triangles, wound
//                            counter-clockwise seen from outside
//   mesh_words(mesh)         N, 3N 16.16 coordinates, T, 3T indices
//   mesh_file_bytes(mesh)    the words, big-endian
//   knot_rings, tube_sides   the tube's resolution (also quoted on pic10)
#pragma once

#include <array>
#include <cstdint>
#include <vector>

inline constexpr int knot_rings = 46;  // rings along the knot
inline constexpr int tube_sides = 6;   // vertices round each ring
inline constexpr int knot_vertices = knot_rings * tube_sides;
inline constexpr int knot_triangles = 2 * knot_rings * tube_sides;

struct Mesh {
    std::vector<std::array<double, 3>> vertices;
    std::vector<std::array<int32_t, 3>> triangles;
};

Mesh make_mesh();
std::vector<int32_t> mesh_words(const Mesh& mesh);
std::vector<uint8_t> mesh_file_bytes(const Mesh& mesh);
