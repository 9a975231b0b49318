// Scene 5, the fade: the finished painting turned to colour once, then every
// byte of it stepped one level at a time towards the emblem picture, so the
// rectangles melt into the picture they were fitted to.
#include "app/scene_tables.h"
#include "app/scenes_list.h"
#include "gfx/fx/palettes.h"

#include <algorithm>
#include <cstring>

namespace {

// A fade step runs at most once a frame and only once more than this many
// ms have passed: 255 steps take at least 12 s.
constexpr int64_t FADE_GATE_MS = 45;

using Bytes16 = uint8_t __attribute__((vector_size(16)));

// Every byte of the frame, alpha included, one step towards the target's
// byte, sixteen at a time; a true lane comparison is all ones, that is -1.
void fade_step(uint8_t* image, const uint8_t* target)
{
    for (size_t i = 0; i < FRAME_PIXELS * sizeof(uint32_t); i += sizeof(Bytes16)) {
        Bytes16 v, t;
        std::memcpy(&v, image + i, sizeof v);
        std::memcpy(&t, target + i, sizeof t);
        v = v - reinterpret_cast<Bytes16>(v < t) + reinterpret_cast<Bytes16>(v > t);
        std::memcpy(image + i, &v, sizeof v);
    }
}

}  // namespace

void scene_fade(Show& show, int32_t now, int32_t, FrameView canvas)
{
    SceneState& scene = show.scene;
    if (scene.fade_time == -1) {
        scene.fade_time = now;
        fx_palette_map(show.work_c, show.paint, 0);
    } else if (int64_t(now) - scene.fade_time > FADE_GATE_MS) {
        fade_step(reinterpret_cast<uint8_t*>(show.work_c.data()), show.pictures[PICTURE_EMBLEM_COPY].pixels);
        scene.fade_time = now;
    }
    std::copy(show.work_c.begin(), show.work_c.end(), canvas.begin());
}
