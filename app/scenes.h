// The scene table and the layers laid over every scene.
//
// Entry points:
//   scenes_draw(show, now, pos, canvas)   the scene that owns `pos` writes
//                                         the whole canvas
//   layers_draw(show, now, pos, canvas)   the overlay schedule, then the
//                                         film damage, over the finished scene
//   scene_number(pos)                     the scene that owns `pos`, 1 to
//                                         SCENE_COUNT; 0 for none (nothing
//                                         heard yet)
//
// `now` is the frame's clock reading in ms, `pos` the MusicPos heard.
#pragma once

#include "app/show.h"
#include "app/show_cues.h"
#include "core/frame_buffer.h"

#include <cstdint>

void scenes_draw(Show& show, int32_t now, int32_t pos, FrameView canvas);
void layers_draw(Show& show, int32_t now, int32_t pos, FrameView canvas);
int scene_number(int32_t pos);
