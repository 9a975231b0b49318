// Settings for the SDL 1.2 compatibility library over SDL 2, which most
// systems now run SDL 1.2 programs on. It reads them from the environment
// when it starts, so they are set before SDL_Init; the classic 1.2 library
// ignores them.
//
// Entry points:
//   app_set_sdl_hints()   SDL12COMPAT_SCALE_METHOD=nearest: the frame scaled
//                         to the screen with crisp pixels (full screen, that
//                         library scales to the desktop rather than change
//                         the monitor's mode, and filters linearly by
//                         default); SDL12COMPAT_SYNC_TO_VBLANK=1: flips wait
//                         for the vertical blank, so nothing tears and the
//                         frame loop sleeps in the flip. Each only when the
//                         user has not set it already.
#pragma once

void app_set_sdl_hints();
