// Motion timed from a row of the music: the later scenes start their moves
// and wipes on the moment a given position was heard, whatever the frame rate.
//
// Entry points:
//   scene_since(now, pos)   ms from the moment `pos` was heard to `now`;
//                           0 while it is not heard yet, that is while the
//                           player has no stamp for it or stamped it later
//                           than `now`
#pragma once

#include <cstdint>

int32_t scene_since(int32_t now, int32_t pos);
