// Scene 6, the mesh: the knot turns over the emblem picture and the whole is
// shown through the colour halftone, the mesh a solid black silhouette among
// the dots. From the scene's start it rises into place, rests from
// CUE_MESH_REST, bounces from CUE_MESH_BOUNCE, and from CUE_MESH_FALL falls
// away and spins while the noise picture wipes in from the left.
#include "app/scene_mesh.h"

#include "app/scene_tables.h"
#include "app/scene_time.h"
#include "app/scenes_list.h"
#include "app/show_cues.h"
#include "gfx/fx/halftone.h"
#include "gfx/mesh/mesh_draw.h"
#include "gfx/mesh/mesh_matrix.h"

#include <algorithm>
#include <cmath>

namespace {

// Scene 6's start: the mesh rises from here.
constexpr MusicPos RISE_POS = SCENE_STARTS[5];
constexpr int32_t WIPE_MS_PER_COLUMN = 5;

// The precision of every step below, single or double, is part of the
// motion, so each conversion is spelt out.
float mesh_y(int32_t pos, MeshSince since)
{
    if (pos < CUE_MESH_REST)
        return float(-0.01 * double(1000 - std::min(since.rise, 1000)) - 0.3);
    if (pos < CUE_MESH_BOUNCE)
        return float(-0.3);
    if (pos < CUE_MESH_FALL) {
        const float decay = 4.0f * std::pow(float(since.bounce) * 0.001f + 1.0f, -4.0f);
        float a = float(double(decay) - 0.05);
        if (!(a > 0.0f))  // NaN or negative: no bounce
            a = 0.0f;
        const float sine = std::sin(float(double(since.bounce) * 0.02));
        return float(double(a * sine) - 0.3);
    }
    return float(-0.01 * double(since.fall) - 0.3);
}

}  // namespace

MeshPose scene_mesh_pose(int32_t now, int32_t pos, MeshSince since)
{
    MeshPose pose{};
    pose.x = 1.5f;
    pose.y = mesh_y(pos, since);
    pose.z = pos < CUE_MESH_FALL ? -20.0f : float(-0.002 * double(since.bounce) - 7.0);
    pose.turn_y = float(now) * 0.001f;
    pose.turn_z = pos < CUE_MESH_FALL ? 0.0f : float(since.fall) * 0.005f;
    const float swing = pos < CUE_MESH_BOUNCE ? 100.0f : 120.0f;
    pose.strength = int32_t(std::cos(float(since.rise) * 0.002f) * swing + 130.0f);
    pose.wipe = pos < CUE_MESH_FALL ? 0 : std::min(since.fall / WIPE_MS_PER_COLUMN, FRAME_WIDTH);
    return pose;
}

void scene_mesh(Show& show, int32_t now, int32_t pos, FrameView canvas)
{
    const MeshSince since{scene_since(now, RISE_POS), scene_since(now, CUE_MESH_BOUNCE),
                          scene_since(now, CUE_MESH_FALL)};
    const MeshPose pose = scene_mesh_pose(now, pos, since);
    const std::span<const uint32_t, FRAME_PIXELS> noise = scene_picture(show, PICTURE_NOISE);
    // Once the wipe covers the frame nothing else shows: the mesh, far below
    // by then, is not drawn.
    if (pose.wipe < FRAME_WIDTH) {
        const std::span<const uint32_t, FRAME_PIXELS> backdrop = scene_picture(show, PICTURE_EMBLEM);
        std::copy(backdrop.begin(), backdrop.end(), show.work_a.begin());
        std::fill(canvas.begin(), canvas.end(), 0u);
        mesh_reset_matrix();
        mesh_translate(pose.x, pose.y, pose.z);
        mesh_rotate_y(pose.turn_y);
        if (pos >= CUE_MESH_FALL)
            mesh_rotate_z(pose.turn_z);
        mesh_draw(show.mesh_data, show.work_a);
        fx_halftone(canvas, show.work_a, pose.strength);
    }
    for (int y = 0; y < FRAME_HEIGHT; y++) {
        const size_t row = size_t(y) * FRAME_WIDTH;
        std::copy_n(noise.begin() + ptrdiff_t(row + FRAME_WIDTH - size_t(pose.wipe)), pose.wipe,
                    canvas.begin() + ptrdiff_t(row));
    }
}
