// Scene timing that does not follow the frame rate: the later scenes start
// their moves and wipes on the moment a given position was heard, and the
// stepped effects step on a gate.
//
// Entry points:
//   scene_since(now, pos)   ms from the moment `pos` was heard to `now`;
//                           0 while it is not heard yet, that is while the
//                           player has no stamp for it or stamped it later
//                           than `now`
//   scene_step_due(scene, now, gate_ms)
//                           the gate the smoke and the crawl share: true,
//                           with step_time moved to `now`, once more than
//                           gate_ms have passed since step_time (compared
//                           unsigned)
#pragma once

#include "app/scene_state.h"

#include <cstdint>

int32_t scene_since(int32_t now, int32_t pos);
bool scene_step_due(SceneState& scene, int32_t now, uint32_t gate_ms);
