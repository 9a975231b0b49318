// The fifteen pictures of the show, one maker per picture.
//
// Entry points:
//   make_picture(n)    picture n (0..14), 8-bit RGBA words 0xAARRGGBB
//   Art                width, height and pixels of one made picture
// and one make_picNN() per picture, grouped by family in the pic_*.cpp files.
#pragma once

#include <cstdint>
#include <vector>

struct Art {
    int w = 0, h = 0;
    std::vector<uint32_t> argb;
};

inline constexpr int PICTURE_FILE_COUNT = 15;

Art make_picture(int n);

Art make_pic00();  // circles, period 32       (pic_circles.cpp)
Art make_pic01();  // circles mask, period 34  (pic_circles.cpp)
Art make_pic02();  // crawl target             (pic_crawl.cpp)
Art make_pic03();  // overlay: no signal       (pic_overlays.cpp)
Art make_pic04();  // overlay: radio mast      (pic_overlays.cpp)
Art make_pic05();  // overlay: vertical sign   (pic_overlays.cpp)
Art make_pic06();  // the tower                (pic_tower.cpp)
Art make_pic07();  // the emblem               (pic_emblem.cpp)
Art make_pic08();  // overlay: opening lines   (pic_overlays.cpp)
Art make_pic09();  // overlay: title           (pic_title.cpp)
Art make_pic10();  // overlay: mesh read-out   (pic_overlays.cpp)
Art make_pic11();  // four sprites             (pic_sprites.cpp)
Art make_pic12();  // credit lines             (pic_credits.cpp)
Art make_pic13();  // dark backdrop            (pic_emblem.cpp)
Art make_pic14();  // static                   (pic_noise.cpp)
