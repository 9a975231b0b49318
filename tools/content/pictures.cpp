#include "tools/content/pictures.h"

Art make_picture(int n)
{
    using Maker = Art (*)();
    static constexpr Maker makers[PICTURE_FILE_COUNT] = {
        make_pic00, make_pic01, make_pic02, make_pic03, make_pic04, make_pic05, make_pic06, make_pic07,
        make_pic08, make_pic09, make_pic10, make_pic11, make_pic12, make_pic13, make_pic14,
    };
    return (n >= 0 && n < PICTURE_FILE_COUNT) ? makers[n]() : Art{};
}
