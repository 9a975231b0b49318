// Scene 7, the crawl and the finale: lines crawl over the noise in work_b,
// growing the crawl picture, until CUE_FINALE; from there the dark backdrop
// with the emblem's halftone pulsing over it, to the end of the show.
#include "app/scene_crawl.h"

#include "app/scene_tables.h"
#include "app/scene_time.h"
#include "app/scenes_list.h"
#include "app/show_cues.h"
#include "gfx/fx/crawl.h"
#include "gfx/fx/halftone.h"

#include <algorithm>
#include <cmath>

namespace {

// A crawl step runs at most once a frame and only once more than this many
// ms have passed, so the lines grow at the same pace at any frame rate.
constexpr uint32_t CRAWL_GATE_MS = 25;

}  // namespace

int32_t scene_finale_strength(int32_t since)
{
    return int32_t((std::cos(float(since) * 0.001f) + 1.0f) * 130.0f);
}

void scene_crawl(Show& show, int32_t now, int32_t pos, FrameView canvas)
{
    SceneState& scene = show.scene;
    if (scene_step_due(scene, now, CRAWL_GATE_MS))
        fx_crawl(show.work_b, show.pictures[PICTURE_CRAWL_TARGET]);
    if (pos < CUE_FINALE) {
        std::copy(show.work_b.begin(), show.work_b.end(), canvas.begin());
        return;
    }
    const std::span<const uint32_t, FRAME_PIXELS> backdrop = scene_picture(show, PICTURE_DARK_BACKDROP);
    std::copy(backdrop.begin(), backdrop.end(), canvas.begin());
    fx_halftone(canvas, scene_picture(show, PICTURE_EMBLEM),
                scene_finale_strength(scene_since(now, CUE_FINALE)));
}
