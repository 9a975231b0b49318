// Scene 4, the fly-in: the emblem painted by 3000 grey rectangles flying in
// along their spiral into the show's 8-bit paint image, shown through the
// tinted palettes, whose red band starts to sweep at CUE_TINT.
#include "app/scene_time.h"
#include "app/scenes_list.h"
#include "app/show_cues.h"
#include "core/wrap_int.h"
#include "gfx/fx/flyin.h"

void scene_flyin(Show& show, int32_t now, int32_t, FrameView canvas)
{
    SceneState& scene = show.scene;
    if (scene.flyin_start == -1)
        scene.flyin_start = now;
    const int32_t elapsed = wrap_sub(now, scene.flyin_start);
    // The palette phase counts rows, one per 10 ms, from the tint cue.
    fx_rect_flyin(canvas, show.paint, elapsed, scene_since(now, CUE_TINT) / 10);
}
