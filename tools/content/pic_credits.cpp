// pic12, the credits of scene 3: fifteen glass plates that appear one by
// one over the circles. The plates sit in two columns (x 15 and 123) of
// seven rows each, plus one wide plate at the bottom; the left column names
// a part of the demo, the right one says how it was made. They say only
// what is true of this program and name no one.
//
// Entry points:
//   make_credits()   320x240
#include "app/scene_tables.h"
#include "tools/content/kit.h"
#include "tools/content/pictures.h"

namespace {

constexpr int W = 320, H = 240;

// The words of each plate, in the order of the credit table; the places
// come from the table itself.
struct Credit {
    const char* text;
    bool label;
};

constexpr Credit credits[CREDIT_LINES.size()] = {
    {"GENERATED", false},
    {"CODE", true},
    {"MIXER", true},
    {"MESH", true},
    {"C++20", false},
    {"DISPLAY", true},
    {"OWN CODE", false},
    {"GENERATED", false},
    {"SDL 1.2", false},
    {"GENERATED", false},
    {"MUSIC", true},
    {"PICTURES", true},
    {"OWN MOD PLAYER", false},
    {"PLAYBACK", true},
    {"NO DATA MADE BY HAND", false},
};

}  // namespace

Art make_credits()
{
    Canvas cv(W, H);
    for (size_t i = 0; i < CREDIT_LINES.size(); i++) {
        const Credit& c = credits[i];
        const PlateSpot& place = CREDIT_LINES[i];
        const int w = credit_line_width(i);
        const Rect r{place.x, place.y, place.x + w - 1, place.y + CREDIT_HEIGHT - 1};
        const Rgb accent = c.label ? hex(0x2fd8ff) : hex(0xff2f9a);
        glass_panel(cv, r, hex(0x0a0618), 0.78f, accent * 0.8f);
        for (int y = r.y0 + 2; y <= r.y1 - 2; y++)
            for (int x = r.x0 + 2; x <= r.x0 + 3; x++)
                cv.over(x, y, accent, 1.0f);
        const int x = w > 105 ? centred_x(c.text, 1, 2, r.x0, r.x1) : r.x0 + 8;
        neon_text(cv, r, c.text, x, r.y0 + 4, 1, 2, 2, c.label ? hex(0x9feaff) : hex(0xffb0dc), 0.35f);
    }
    return {W, H, cv.to_argb()};
}
