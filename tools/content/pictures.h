// The fifteen picture files of the show, one maker per picture. Which file
// is which, and the size each must have, is the load list's
// (gfx/picture/picture_list.h).
//
// Entry points:
//   make_picture(file)   file 0..14 of PICTURE_FILE_NAMES, 8-bit RGBA words
//                        0xAARRGGBB
//   Art                  width, height and pixels of one made picture
// and one maker per picture, grouped by family in the pic_*.cpp files.
#pragma once

#include <cstdint>
#include <vector>

struct Art {
    int w = 0, h = 0;
    std::vector<uint32_t> argb;
};

Art make_picture(int file);

Art make_circles();        // period 32                     (pic_circles.cpp)
Art make_circles_mask();   // period 34                     (pic_circles.cpp)
Art make_crawl_target();   //                               (pic_crawl.cpp)
Art make_no_signal();      // overlays, each transparent    (pic_overlays.cpp)
Art make_radio_mast();     //   outside its schedule row's
Art make_vertical_sign();  //   rectangle
Art make_opening_lines();
Art make_mesh_readout();
Art make_tower();          //                               (pic_tower.cpp)
Art make_emblem();         //                               (pic_emblem.cpp)
Art make_dark_backdrop();  // the emblem's vista, dimmed     (pic_emblem.cpp)
Art make_title();          // an overlay                    (pic_title.cpp)
Art make_sprites();        //                               (pic_sprites.cpp)
Art make_credits();        //                               (pic_credits.cpp)
Art make_noise();          // the static                    (pic_noise.cpp)
