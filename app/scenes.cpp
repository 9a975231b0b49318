#include "app/scenes.h"

#include "app/scenes_list.h"
#include "gfx/fx/crawl.h"
#include "gfx/fx/film_damage.h"
#include "gfx/fx/flyin.h"
#include "gfx/fx/overlays.h"
#include "gfx/fx/smoke.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

// Scene n draws from SCENE_STARTS[n - 1] (app/show_cues.h) on.
constexpr std::array<SceneDraw, SCENE_COUNT> SCENE_TABLE = {
    scene_tower, scene_smoke, scene_circles, scene_flyin, scene_fade, scene_mesh, scene_crawl,
};

// The first frame of a run: the effects forget any earlier run, and the
// built-in schedule is copied with its pictures and zero elapsed counters.
void start_run(Show& show)
{
    SceneState& scene = show.scene;
    if (scene.started)
        return;
    fx_overlays_reset();
    fx_smoke_reset();
    fx_crawl_reset();
    fx_flyin_reset();
    for (size_t i = 0; i < OVERLAY_SCHEDULE.size(); i++) {
        const OverlaySlot& s = OVERLAY_SCHEDULE[i];
        const Picture* picture = s.picture == OVERLAY_END ? nullptr : &show.pictures[size_t(s.picture)];
        scene.overlays[i] = OverlayRow{s.start_pos, s.fade_in_ms, 0,    s.end_pos, s.fade_out_ms, 0,
                                       picture,     s.x0,         s.y0, s.x1,      s.y1};
    }
    scene.started = true;
}

}  // namespace

// The last scene whose start `pos` has reached. A negative position
// (nothing heard yet) reaches none, and the canvas is left as it is.
int scene_number(int32_t pos)
{
    int scene = 0;
    while (scene < SCENE_COUNT && pos >= SCENE_STARTS[size_t(scene)])
        scene++;
    return scene;
}

void scenes_draw(Show& show, int32_t now, int32_t pos, FrameView canvas)
{
    start_run(show);
    if (const int scene = scene_number(pos))
        SCENE_TABLE[size_t(scene - 1)](show, now, pos, canvas);
}

void layers_draw(Show& show, int32_t now, int32_t pos, FrameView canvas)
{
    start_run(show);
    fx_draw_overlays(canvas, show.scene.overlays, pos);
    fx_film_damage(canvas, now / 20);
}
