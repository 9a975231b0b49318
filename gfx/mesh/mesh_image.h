// The mesh image: mesh.bare with its words already in host order. Word 0 is
// the vertex count N, then N vertices of three 16.16 coordinates (65536 is
// one model unit), then the triangle count T at word 3N + 1, then T
// triangles of three 0-based vertex indices.
//
// Entry points:
//   MESH_IMAGE_BYTES      what start-up reads of the file (2500 words)
//   mesh_word(image, i)   word i, read without alignment
//   mesh_check(image)     whether the image is safe to draw: counts not
//                         negative, N at most 1000, every word the counts
//                         name inside the image, every index naming a vertex
#pragma once

#include <cstdint>
#include <cstring>
#include <span>

constexpr int MESH_IMAGE_BYTES = 10000;

inline int32_t mesh_word(std::span<const uint8_t> image, size_t i)
{
    int32_t w;
    std::memcpy(&w, image.data() + 4 * i, sizeof w);
    return w;
}

bool mesh_check(std::span<const uint8_t> image);
