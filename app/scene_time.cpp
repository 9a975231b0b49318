#include "app/scene_time.h"

#include "sound/player/player_clock.h"

#include <algorithm>

int32_t scene_since(int32_t now, int32_t pos)
{
    const int32_t heard = pt_position_time(pos);
    if (heard == PT_NOT_HEARD)
        return 0;
    // 64-bit, so that no pair of readings overflows; capped where a show's
    // times never reach.
    const int64_t since = int64_t(now) - int64_t(heard);
    return int32_t(std::clamp<int64_t>(since, 0, INT32_MAX));
}

bool scene_step_due(SceneState& scene, int32_t now, uint32_t gate_ms)
{
    if (uint32_t(now) - uint32_t(scene.step_time) <= gate_ms)
        return false;
    scene.step_time = now;
    return true;
}
