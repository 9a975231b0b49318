// The show's pictures: the load list that start-up reads from data/, each
// entry named by its use, with the file it comes from and the smallest size
// the scenes can read. The content generator writes the files from the same
// list.
//
// Entry points:
//   PictureId, PICTURE_COUNT           load-list indices, 16 entries
//   PICTURE_FILE_COUNT, PICTURE_FILE_NAMES   the 15 files, pic00.png .. pic14.png
//   PICTURE_LIST[id]                   the entry's file and the size it needs
//   picture_size_fits(id, w, h)        whether a w x h picture serves entry id
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

enum PictureId : int32_t {
    PICTURE_CIRCLES = 0,         // scene 3, base pattern
    PICTURE_CIRCLES_MASK = 1,    // scene 3, AND mask
    PICTURE_CRAWL_TARGET = 2,    // scene 7, what the crawl lines grow
    PICTURE_NO_SIGNAL = 3,       // overlay over the crawl
    PICTURE_RADIO_MAST = 4,      // overlay beside the credits
    PICTURE_VERTICAL_SIGN = 5,   // overlay over the smoke
    PICTURE_TOWER = 6,           // scene 1, scrolled bands
    PICTURE_EMBLEM = 7,          // scene 6 backdrop, the finale's dots
    PICTURE_OPENING_LINES = 8,   // overlay over the tower
    PICTURE_TITLE = 9,           // overlay over the tower
    PICTURE_MESH_READOUT = 10,   // overlay beside the mesh
    PICTURE_SPRITES = 11,        // scene 2, four sprites
    PICTURE_CREDITS = 12,        // scene 3, fifteen credit lines
    PICTURE_DARK_BACKDROP = 13,  // overlays between scenes; scene 7 from 1340
    PICTURE_NOISE = 14,          // the static: the smoke's target, scene 6's wipe,
                                 // an overlay, work_a and work_b at start-up
    PICTURE_EMBLEM_COPY = 15,    // scene 5, the fade's target: pic07 again, with
                                 // pixels of its own
    PICTURE_COUNT = 16,
};

constexpr int PICTURE_FILE_COUNT = 15;

constexpr std::array<const char*, PICTURE_FILE_COUNT> PICTURE_FILE_NAMES = {
    "pic00.png", "pic01.png", "pic02.png", "pic03.png", "pic04.png", "pic05.png", "pic06.png", "pic07.png",
    "pic08.png", "pic09.png", "pic10.png", "pic11.png", "pic12.png", "pic13.png", "pic14.png",
};

// How an entry's size is checked against its width and height below.
enum class PictureFit : uint8_t {
    AT_LEAST,    // read with its own width as row length: both sides at least
    FRAME_ROWS,  // read 320 words a row: width exact, height at least
    EXACT,       // a whole 320x240 image
};

struct PictureEntry {
    int32_t file;  // index into PICTURE_FILE_NAMES
    int32_t width, height;
    PictureFit fit;
};

// Pictures 0 and 1 must cover the circles' windows, which move by up to 31
// and 33 pixels over them.
constexpr std::array<PictureEntry, PICTURE_COUNT> PICTURE_LIST = {{
    {0, 351, 271, PictureFit::AT_LEAST},
    {1, 353, 273, PictureFit::AT_LEAST},
    {2, 320, 240, PictureFit::FRAME_ROWS},
    {3, 320, 240, PictureFit::FRAME_ROWS},
    {4, 320, 240, PictureFit::FRAME_ROWS},
    {5, 320, 240, PictureFit::FRAME_ROWS},
    {6, 320, 240, PictureFit::EXACT},
    {7, 320, 240, PictureFit::EXACT},
    {8, 320, 240, PictureFit::FRAME_ROWS},
    {9, 320, 240, PictureFit::FRAME_ROWS},
    {10, 320, 240, PictureFit::FRAME_ROWS},
    {11, 320, 240, PictureFit::FRAME_ROWS},
    {12, 320, 240, PictureFit::FRAME_ROWS},
    {13, 320, 240, PictureFit::EXACT},
    {14, 320, 240, PictureFit::EXACT},
    {7, 320, 240, PictureFit::EXACT},
}};

constexpr const char* picture_file_name(PictureId id)
{
    return PICTURE_FILE_NAMES[size_t(PICTURE_LIST[size_t(id)].file)];
}

constexpr bool picture_size_fits(PictureId id, int32_t width, int32_t height)
{
    const PictureEntry& e = PICTURE_LIST[size_t(id)];
    switch (e.fit) {
    case PictureFit::AT_LEAST:
        return width >= e.width && height >= e.height;
    case PictureFit::FRAME_ROWS:
        return width == e.width && height >= e.height;
    case PictureFit::EXACT:
        return width == e.width && height == e.height;
    }
    return false;
}
