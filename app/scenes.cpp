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

// A scene owns the positions first..last inclusive. The table is searched in
// order with the position taken as unsigned, so a negative one (nothing
// heard yet) matches no scene and the canvas is left as it is.
struct SceneEntry {
    uint32_t first, last;
    SceneDraw draw;
};

constexpr std::array<SceneEntry, SCENE_COUNT> SCENE_TABLE = {{
    {0, 299, scene_tower},           // 1: orders 0 to 2
    {300, 499, scene_smoke},         // 2: orders 3 and 4
    {500, 699, scene_circles},       // 3: orders 5 and 6
    {700, 899, scene_flyin},         // 4: orders 7 and 8
    {900, 999, scene_fade},          // 5: order 9
    {1000, 1199, scene_mesh},        // 6: orders 10 and 11
    {1200, INT32_MAX, scene_crawl},  // 7: order 12 onward
}};

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

int scene_number(int32_t pos)
{
    for (size_t i = 0; i < SCENE_TABLE.size(); i++)
        if (uint32_t(pos) >= SCENE_TABLE[i].first && uint32_t(pos) <= SCENE_TABLE[i].last)
            return int(i) + 1;
    return 0;
}

void scenes_draw(Show& show, int32_t now, int32_t pos, FrameView canvas)
{
    start_run(show);
    if (const int scene = scene_number(pos))
        SCENE_TABLE[size_t(scene - 1)].draw(show, now, pos, canvas);
}

void layers_draw(Show& show, int32_t now, int32_t pos, FrameView canvas)
{
    start_run(show);
    fx_draw_overlays(canvas, show.scene.overlays, pos);
    fx_film_damage(canvas, now / 20);
}
