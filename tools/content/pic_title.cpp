// pic09, the title "Kirmavo", shown over the tower climb: script lettering
// in pink neon tubes with a cyan echo, on a smoky band of dark glass so it
// reads over the lit windows. Everything lies in rows 42..196 (the overlay
// rectangle); the band fades out towards both edges of it.
//
// Entry points:
//   make_title()   320x240
#include "tools/content/kit.h"
#include "tools/content/pictures.h"
#include "tools/content/pixel_font.h"
#include "tools/content/strokes.h"

#include <cmath>

Art make_title()
{
    constexpr int W = 320, H = 240;
    const Rect area = overlay_area(PICTURE_TITLE);
    Canvas cv(W, H);
    shade_band(cv, area, hex(0x0a0418), 0.62f, 26.0f);

    // Measure, then centre the lettering.
    const float scale = 0.82f, spacing = 15.0f;
    Path probe;
    const float width = title_path(probe, "Kirmavo", 0, 0, scale, spacing);
    const float x = std::floor((float(W) - width) / 2.0f), baseline = 138.0f;

    Path echo, title;
    title_path(echo, "Kirmavo", x + 3, baseline + 3, scale, spacing);
    title_path(title, "Kirmavo", x, baseline, scale, spacing);
    neon_path(cv, area, echo, 1.4f, hex(0x2fd8ff), 0.5f);
    neon_path(cv, area, title, 2.6f, hex(0xff2f9a), 1.0f);

    // A thin rule and the strap line.
    Path rule;
    line(rule, 60, 154, 260, 154);
    neon_path(cv, area, rule, 0.6f, hex(0x2fd8ff), 0.4f);
    const char* strap = "SEVEN SCENES AFTER DARK";
    neon_text(cv, area, strap, centred_x(strap, 1, 2, 0, 319), 162, 1, 1, 2, hex(0x9feaff), 0.5f);
    clip_to(cv, area);
    return {W, H, cv.to_argb()};
}
