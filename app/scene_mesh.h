// Scene 6's motion, apart from the drawing so it can be checked alone: where
// the mesh is, how it turns, how strong the halftone is and how far the wipe
// has come, for a frame's `now`, `pos` and the times since three rows.
//
// Entry points:
//   MeshSince                          ms since the scene's start,
//                                      CUE_MESH_BOUNCE and CUE_MESH_FALL
//                                      were heard (app/show_cues.h)
//   MeshPose                           one frame's translation, turns,
//                                      halftone strength and wipe width
//   scene_mesh_pose(now, pos, since)   the pose for a position of the scene
#pragma once

#include <cstdint>

struct MeshSince {
    int32_t rise;    // since the start: the mesh rises into place for 1 s
    int32_t bounce;  // a bounce that dies out in about 2 s
    int32_t fall;    // down and away under the wipe
};

struct MeshPose {
    float x, y, z;     // translation, model units
    float turn_y;      // radians about y, from `now`
    float turn_z;      // radians about z, from the fall on (0 before)
    int32_t strength;  // halftone strength, 256 = 1.0: 30..230, then 10..250
    int32_t wipe;      // columns of the noise picture slid in from the left, 0..320
};

MeshPose scene_mesh_pose(int32_t now, int32_t pos, MeshSince since);
