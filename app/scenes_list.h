// The scenes the scene table dispatches to, one file each (app/scene_*.cpp).
// Each writes the whole canvas from the frame's clock reading `now` (ms),
// its music position `pos` and the show's pictures, work images and scene
// state.
//
// Entry points:
//   SceneDraw                          the signature every scene shares
//   scene_tower(show, now, pos, canvas)     scene 1
//   scene_smoke(show, now, pos, canvas)     scene 2
//   scene_circles(show, now, pos, canvas)   scene 3
//   scene_flyin(show, now, pos, canvas)     scene 4
//   scene_fade(show, now, pos, canvas)      scene 5
//   scene_mesh(show, now, pos, canvas)      scene 6
//   scene_crawl(show, now, pos, canvas)     scene 7
//   scene_picture(show, index)         a full-screen picture, 320 words a row
//
// Where each scene starts: SCENE_STARTS (app/show_cues.h).
#pragma once

#include "app/show.h"
#include "core/frame_buffer.h"

#include <cstdint>
#include <span>

using SceneDraw = void (*)(Show& show, int32_t now, int32_t pos, FrameView canvas);

void scene_tower(Show& show, int32_t now, int32_t pos, FrameView canvas);
void scene_smoke(Show& show, int32_t now, int32_t pos, FrameView canvas);
void scene_circles(Show& show, int32_t now, int32_t pos, FrameView canvas);
void scene_flyin(Show& show, int32_t now, int32_t pos, FrameView canvas);
void scene_fade(Show& show, int32_t now, int32_t pos, FrameView canvas);
void scene_mesh(Show& show, int32_t now, int32_t pos, FrameView canvas);
void scene_crawl(Show& show, int32_t now, int32_t pos, FrameView canvas);

// Start-up has checked that every full-screen picture holds 320x240 words.
inline std::span<const uint32_t, FRAME_PIXELS> scene_picture(const Show& show, int index)
{
    return std::span<const uint32_t, FRAME_PIXELS>(show.pictures[size_t(index)].argb(), FRAME_PIXELS);
}
