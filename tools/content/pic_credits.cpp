// pic12, the credits of scene 3: fifteen glass plates that appear one by
// one over the circles. The plates sit in two columns (x 15 and 123) of
// seven rows each, plus one wide plate at the bottom; the left column names
// a part of the demo, the right one says how it was made. They say only
// what is true of this program and name no one.
//
// Entry points:
//   make_pic12()   320x240
#include "tools/content/kit.h"
#include "tools/content/pictures.h"

namespace {

constexpr int W = 320, H = 240;

struct Credit {
    int x, y, w;
    const char* text;
    bool label;
};

// In the order of the credit table (which is also the order they appear).
constexpr Credit credits[15] = {
    {123, 61, 105, "GENERATED", false},
    {15, 17, 105, "CODE", true},
    {15, 127, 105, "MIXER", true},
    {15, 61, 105, "MESH", true},
    {123, 17, 105, "C++20", false},
    {15, 149, 105, "DISPLAY", true},
    {123, 127, 105, "OWN CODE", false},
    {123, 39, 105, "GENERATED", false},
    {123, 149, 105, "SDL 1.2", false},
    {123, 83, 105, "GENERATED", false},
    {15, 83, 105, "MUSIC", true},
    {15, 39, 105, "PICTURES", true},
    {123, 105, 105, "OWN MOD PLAYER", false},
    {15, 105, 105, "PLAYBACK", true},
    {15, 193, 160, "NO DATA MADE BY HAND", false},
};

}  // namespace

Art make_pic12()
{
    Canvas cv(W, H);
    for (const Credit& c : credits) {
        const Rect r{c.x, c.y, c.x + c.w - 1, c.y + 21};
        const Rgb accent = c.label ? hex(0x2fd8ff) : hex(0xff2f9a);
        glass_panel(cv, r, hex(0x0a0618), 0.78f, accent * 0.8f);
        for (int y = r.y0 + 2; y <= r.y1 - 2; y++)
            for (int x = r.x0 + 2; x <= r.x0 + 3; x++)
                cv.over(x, y, accent, 1.0f);
        const int x = c.w > 105 ? centred_x(c.text, 1, 2, r.x0, r.x1) : r.x0 + 8;
        neon_text(cv, r, c.text, x, r.y0 + 4, 1, 2, 2, c.label ? hex(0x9feaff) : hex(0xffb0dc), 0.35f);
    }
    return {W, H, cv.to_argb()};
}
