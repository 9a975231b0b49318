// Scene 4, the fly-in: the emblem painted by 3000 grey rectangles flying in
// along their spiral into the 8-bit paint image kept in work_c, shown
// through the tinted palettes, whose red band starts to sweep at 832.
#include "app/scene_flyin.h"

#include "app/scene_time.h"
#include "app/scenes_list.h"
#include "core/wrap_int.h"
#include "gfx/fx/flyin.h"

namespace {

// Order 8, row 32: the palette phase counts rows from here, one per 10 ms.
constexpr int32_t TINT_FROM_POS = 832;

}  // namespace

void scene_flyin(Show& show, int32_t now, int32_t, FrameView canvas)
{
    SceneState& scene = show.scene;
    if (scene.flyin_start == -1)
        scene.flyin_start = now;
    const int32_t elapsed = wrap_sub(now, scene.flyin_start);
    fx_rect_flyin(canvas, scene_paint_image(show), elapsed, scene_since(now, TINT_FROM_POS) / 10);
}
