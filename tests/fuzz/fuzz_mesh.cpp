// libFuzzer target: a mesh file as start-up reads it (the first 10000
// bytes, zero after a short file, words to host order), its checks, then
// drawing whatever they accept at a few matrices: the scene's, one turned
// about both axes, one close to the camera and the identity, where every
// vertex of z 0 meets the camera plane.
#include "core/frame_buffer.h"
#include "gfx/mesh/mesh_draw.h"
#include "gfx/mesh/mesh_image.h"
#include "gfx/mesh/mesh_matrix.h"
#include "gfx/picture/picture.h"

#include <algorithm>
#include <array>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static std::array<uint8_t, MESH_IMAGE_BYTES> image;
    image.fill(0);
    std::copy_n(data, std::min(size, image.size()), image.begin());
    words_from_big_endian(image.data(), MESH_IMAGE_BYTES / 4);
    if (!mesh_check(image))
        return 0;

    static FrameBuffer frame;
    frame.fill(0xFFFFFFFFu);
    struct Pose {
        float x, y, z, turn_y, turn_z;
    };
    for (const Pose& p : {Pose{0, 0, -20, 0.7f, 0}, Pose{1.5f, -0.3f, -20, 2.1f, 0.9f},
                          Pose{0, 0, -1, 3.9f, 5.5f}, Pose{0, 0, 0, 0, 0}}) {
        mesh_reset_matrix();
        mesh_translate(p.x, p.y, p.z);
        mesh_rotate_y(p.turn_y);
        if (p.turn_z != 0)
            mesh_rotate_z(p.turn_z);
        mesh_draw(image, frame);
    }
    return 0;
}
