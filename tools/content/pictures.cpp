#include "tools/content/pictures.h"

#include "gfx/picture/picture_list.h"

namespace {

struct Maker {
    PictureId picture;
    Art (*make)();
};

constexpr Maker MAKERS[] = {
    {PICTURE_CIRCLES, make_circles},
    {PICTURE_CIRCLES_MASK, make_circles_mask},
    {PICTURE_CRAWL_TARGET, make_crawl_target},
    {PICTURE_NO_SIGNAL, make_no_signal},
    {PICTURE_RADIO_MAST, make_radio_mast},
    {PICTURE_VERTICAL_SIGN, make_vertical_sign},
    {PICTURE_TOWER, make_tower},
    {PICTURE_EMBLEM, make_emblem},
    {PICTURE_OPENING_LINES, make_opening_lines},
    {PICTURE_TITLE, make_title},
    {PICTURE_MESH_READOUT, make_mesh_readout},
    {PICTURE_SPRITES, make_sprites},
    {PICTURE_CREDITS, make_credits},
    {PICTURE_DARK_BACKDROP, make_dark_backdrop},
    {PICTURE_NOISE, make_noise},
};
static_assert(std::size(MAKERS) == PICTURE_FILE_COUNT);

}  // namespace

Art make_picture(int file)
{
    for (const Maker& m : MAKERS)
        if (PICTURE_LIST[size_t(m.picture)].file == file)
            return m.make();
    return {};
}
