// The overlay pictures, each drawn inside its rectangle of the overlay
// schedule (app/scene_tables.h) and transparent elsewhere.
//
// Entry points:
//   make_opening_lines()   a band over the tower climb
//   make_vertical_sign()   a hanging sign at the left, over the smoke
//   make_radio_mast()      a radio mast on the right, beside the credits
//   make_mesh_readout()    a read-out panel at the left, beside the mesh
//   make_no_signal()       a test card on the right, over the crawl
#include "tools/content/kit.h"
#include "tools/content/knot_mesh.h"
#include "tools/content/pictures.h"
#include "tools/content/pixel_font.h"
#include "tools/content/strokes.h"

#include <cmath>
#include <string>

namespace {

constexpr int W = 320, H = 240;

Art finish(Canvas& cv, Rect area)
{
    clip_to(cv, area);
    return {W, H, cv.to_argb()};
}

}  // namespace

Art make_opening_lines()
{
    const Rect area = overlay_area(PICTURE_OPENING_LINES);
    Canvas cv(W, H);
    shade_band(cv, area, hex(0x060414), 0.58f, 22.0f);
    const char* top = "EVERY PIXEL";
    const char* bottom = "GROWN FROM CODE";
    neon_text(cv, area, top, centred_x(top, 3, 3, 0, 319), 82, 3, 3, 3, hex(0x2fd8ff), 0.9f);
    neon_text(cv, area, bottom, centred_x(bottom, 2, 2, 0, 319), 124, 2, 3, 2, hex(0xff2f9a), 0.9f);
    Path rule;
    line(rule, 40, 114, 280, 114);
    neon_path(cv, area, rule, 0.5f, hex(0x9feaff), 0.3f);
    return finish(cv, area);
}

Art make_vertical_sign()
{
    const Rect area = overlay_area(PICTURE_VERTICAL_SIGN);
    Canvas cv(W, H);
    // A bracket from the wall, two hanging wires, the sign box.
    Path bracket;
    line(bracket, 0, 96, 64, 96);
    line(bracket, 0, 106, 26, 96);
    line(bracket, 30, 96, 30, 104);
    line(bracket, 58, 96, 58, 104);
    neon_path(cv, area, bracket, 1.2f, hex(0x6a6080), 0.0f);
    const Rect box{20, 104, 68, 232};
    glass_panel(cv, box, hex(0x100818), 0.92f, hex(0xff2f9a));
    const char* word = "SMOKE";
    for (int k = 0; word[k]; k++) {
        const char s[2] = {word[k], 0};
        neon_text(cv, area, s, 37, 112 + k * 24, 3, 3, 0, hex(0xff2f9a), 1.0f);
    }
    // The tube frame round the letters.
    Path frame;
    polyline(frame, {{24.5f, 108.5f}, {63.5f, 108.5f}, {63.5f, 228.5f}, {24.5f, 228.5f}, {24.5f, 108.5f}});
    neon_path(cv, area, frame, 0.8f, hex(0x2fd8ff), 0.5f);
    return finish(cv, area);
}

Art make_radio_mast()
{
    const Rect area = overlay_area(PICTURE_RADIO_MAST);
    Canvas cv(W, H);
    const float cx = 268.0f, top = 52.0f, base = 239.0f;
    // Radio waves first, so the mast stands in front of them.
    for (int k = 1; k <= 4; k++) {
        Path wave;
        const float r = 10.0f + 11.0f * float(k);
        arc(wave, cx, top, r, r * 0.8f, 20, 70, 8);
        arc(wave, cx, top, r, r * 0.8f, 110, 160, 8);
        neon_path(cv, area, wave, 0.9f, hex(0x2fd8ff) * (1.1f - 0.18f * float(k)), 0.6f);
    }
    // Lattice: two legs narrowing upwards, cross braces every 14 rows.
    const auto half = [&](float y) { return 3.0f + 22.0f * (y - top) / (base - top); };
    Path legs, braces;
    line(legs, cx - half(top), top, cx - half(base), base);
    line(legs, cx + half(top), top, cx + half(base), base);
    line(legs, cx, top - 18, cx, top);
    for (float y = top + 6; y + 14 <= base; y += 14) {
        line(braces, cx - half(y), y, cx + half(y + 14), y + 14);
        line(braces, cx + half(y), y, cx - half(y + 14), y + 14);
        line(braces, cx - half(y), y, cx + half(y), y);
    }
    neon_path(cv, area, braces, 0.6f, hex(0x8a7aa8), 0.0f);
    neon_path(cv, area, legs, 1.3f, hex(0xb8a8d8), 0.15f);
    // Warning lights on the top and on two platforms.
    for (float y : {top - 18.0f, top + 62.0f, top + 132.0f}) {
        Path lamp;
        line(lamp, cx - 0.5f, y, cx + 0.5f, y);
        if (y > top) {
            line(lamp, cx - half(y) - 3, y, cx - half(y) - 2, y);
            line(lamp, cx + half(y) + 2, y, cx + half(y) + 3, y);
        }
        neon_path(cv, area, lamp, 1.8f, hex(0xff2a30), 1.4f);
    }
    return finish(cv, area);
}

Art make_mesh_readout()
{
    const Rect area = overlay_area(PICTURE_MESH_READOUT);
    Canvas cv(W, H);
    glass_panel(cv, {6, 14, 127, 233}, hex(0x061426), 0.62f, hex(0x2fd8ff));
    neon_text(cv, area, "OBJECT", 14, 22, 1, 2, 1, hex(0x2fd8ff), 0.5f);
    neon_text(cv, area, "TREFOIL KNOT", 14, 40, 1, 1, 1, hex(0xffffff), 0.0f);
    const std::string lines[] = {
        "RINGS    " + std::to_string(knot_rings),
        "SIDES    " + std::to_string(tube_sides),
        "VERTICES " + std::to_string(knot_vertices),
        "FACES    " + std::to_string(knot_triangles),
        "DEPTH    20.0",
        "SPIN Y   1 RAD/S",
    };
    int y = 56;
    for (const std::string& s : lines) {
        neon_text(cv, area, s, 14, y, 1, 1, 1, hex(0x9feaff), 0.0f);
        y += 12;
    }
    // A small drawing of the knot's centre line.
    Path knot;
    const int n = 90;
    for (int i = 0; i < n; i++) {
        const auto at = [](float t) {
            return std::pair<float, float>{66.0f + 11.0f * (std::sin(t) + 2 * std::sin(2 * t)),
                                           175.0f - 11.0f * (std::cos(t) - 2 * std::cos(2 * t))};
        };
        const auto p = at(6.2831853f * float(i) / n), q = at(6.2831853f * float(i + 1) / n);
        line(knot, p.first, p.second, q.first, q.second);
    }
    neon_path(cv, area, knot, 1.0f, hex(0xff2f9a), 0.7f);
    // Level bars along the bottom.
    for (int b = 0; b < 12; b++) {
        const int hgt = 3 + int(8.0f * (0.5f + 0.5f * std::sin(float(b) * 1.3f)));
        for (int yy = 226 - hgt; yy < 226; yy++)
            for (int xx = 16 + b * 9; xx < 22 + b * 9; xx++)
                cv.over(xx, yy, hex(0x2fd8ff), 0.8f);
    }
    return finish(cv, area);
}

Art make_no_signal()
{
    const Rect area = overlay_area(PICTURE_NO_SIGNAL);
    Canvas cv(W, H);
    const Rect card{214, 80, 313, 230};
    glass_panel(cv, card, hex(0x0a0a14), 0.9f, hex(0xe8e8f0));
    // Colour bars.
    const uint32_t bars[] = {0xc0c0c0, 0xc0c000, 0x00c0c0, 0x00c000, 0xc000c0, 0xc00000, 0x0000c0};
    for (int b = 0; b < 7; b++)
        for (int y = 86; y < 140; y++)
            for (int x = 219 + b * 13; x < 219 + (b + 1) * 13 && x <= 308; x++)
                cv.over(x, y, hex(bars[b]), 1.0f);
    for (int y = 140; y < 148; y++)
        for (int x = 219; x <= 308; x++)
            cv.over(x, y, hex(((x - 219) / 13) % 2 ? 0x101010 : 0x0000c0), 1.0f);
    neon_text(cv, area, "NO", centred_x("NO", 3, 3, 214, 313), 156, 3, 3, 3, hex(0xffffff), 0.6f);
    neon_text(cv, area, "SIGNAL", centred_x("SIGNAL", 2, 2, 214, 313), 184, 2, 2, 2, hex(0xff2f9a), 0.8f);
    neon_text(cv, area, "CH 12  1362", centred_x("CH 12  1362", 1, 1, 214, 313), 210, 1, 1, 1, hex(0x9feaff),
              0.0f);
    return finish(cv, area);
}
