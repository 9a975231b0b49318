#include "gfx/mesh/mesh_state.h"

namespace {

constexpr MeshState initial_state()
{
    MeshState s{};
    for (int i = 0; i < 4; i++)
        s.matrix[size_t(i)][size_t(i)] = MESH_ONE;
    s.left.fill(MESH_SPAN_EMPTY);
    s.right.fill(-MESH_SPAN_EMPTY);
    return s;
}

MeshState state = initial_state();

}  // namespace

MeshState& mesh_state() { return state; }

void mesh_reset() { state = initial_state(); }
