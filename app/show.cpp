#include "app/show.h"

#include "gfx/fx/flyin.h"
#include "gfx/fx/halftone.h"

#include <algorithm>

void build_effect_tables()
{
    fx_halftone_init(FRAME_WIDTH, FRAME_HEIGHT);
    fx_init_tables();
}

void show_prepare_work(Show& show)
{
    const uint32_t* noise = show.pictures[PICTURE_NOISE].argb();
    std::copy_n(noise, FRAME_PIXELS, show.work_a.begin());
    std::copy_n(noise, FRAME_PIXELS, show.work_b.begin());
    show.work_c.fill(0);
    show.paint.fill(0);
}
