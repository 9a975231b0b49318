// Scene 2, the smoke: particle trails curl over the static in work_a and
// heal back into it, and four sprites pop in over it one by one.
#include "app/scene_tables.h"
#include "app/scene_time.h"
#include "app/scenes_list.h"
#include "app/show_cues.h"
#include "gfx/fx/blit.h"
#include "gfx/fx/smoke.h"

#include <algorithm>

namespace {

// The smoke steps at most once a frame and only once more than this many ms
// have passed, so its pace does not follow the frame rate.
constexpr uint32_t SMOKE_GATE_MS = 15;

}  // namespace

void scene_smoke(Show& show, int32_t now, int32_t pos, FrameView canvas)
{
    SceneState& scene = show.scene;
    if (scene_step_due(scene, now, SMOKE_GATE_MS)) {
        // Rows 0 and 32 of a pattern send the particles off again; while the
        // music stays on such a row the reseed alternates 1, 0, 1, ...
        const bool seed_row = music_pos_row(pos) % SMOKE_SEED_ROWS == 0;
        scene.smoke_reseed = seed_row && scene.smoke_reseed == 0 ? 1 : 0;
        fx_smoke(show.work_a, scene_picture(show, PICTURE_NOISE), SMOKE_PARTICLES, scene.smoke_reseed);
    }
    std::copy(show.work_a.begin(), show.work_a.end(), canvas.begin());
    for (const PlateSpot& s : SMOKE_SPRITES)
        if (pos >= s.from_pos)
            fx_blit_rect(canvas, scene_picture(show, PICTURE_SPRITES), s.x, s.y, SPRITE_WIDTH, SPRITE_HEIGHT);
}
