#include "gfx/mesh/mesh_draw.h"

#include "gfx/mesh/mesh_image.h"
#include "gfx/mesh/mesh_matrix.h"
#include "gfx/mesh/mesh_state.h"
#include "gfx/mesh/triangle_fill.h"

void mesh_draw(std::span<const uint8_t> image, FrameView target)
{
    // A few thousand compares a frame: cheap enough that drawing never has
    // to trust its caller to have checked the image.
    if (!mesh_check(image))
        return;
    MeshState& s = mesh_state();
    const size_t n = size_t(mesh_word(image, 0));
    for (size_t i = 0; i < n; i++)
        s.projected[i] = mesh_project(mesh_word(image, 1 + 3 * i), mesh_word(image, 2 + 3 * i),
                                      mesh_word(image, 3 + 3 * i));
    const size_t t = size_t(mesh_word(image, 3 * n + 1));
    for (size_t k = 0, at = 3 * n + 2; k < t; k++, at += 3)
        mesh_fill_triangle(target, s.projected[size_t(mesh_word(image, at))],
                           s.projected[size_t(mesh_word(image, at + 1))],
                           s.projected[size_t(mesh_word(image, at + 2))]);
}
