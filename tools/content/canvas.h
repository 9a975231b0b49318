// A floating-point RGBA drawing surface for the pictures. Colours are kept
// premultiplied by coverage so that soft shapes composite correctly onto
// transparent ground; to_argb() turns them back into straight 0xAARRGGBB
// words, the form the demo's alpha rule expects.
//
// Entry points:
//   Canvas(w, h)                     transparent black surface
//   Canvas::over(x, y, colour, a)    paint colour at coverage a (0..1)
//   Canvas::add(x, y, colour)        add light, keeping the coverage
//   Canvas::fill(colour, a)          over() on every pixel
//   Canvas::to_argb()                straight 8-bit words; alpha < 8 becomes 0
//   mix(a, b, t), smoothstep(e0, e1, x), clamp01(x)
//   value_noise(x, y, px, py, seed)  smooth noise in [0, 1], periodic in px, py
#pragma once

#include <cstdint>
#include <cstddef>
#include <vector>

struct Rgb {
    float r, g, b;
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb mix(Rgb a, Rgb b, float t) { return a * (1.0f - t) + b * t; }
inline float mixf(float a, float b, float t) { return a + (b - a) * t; }
float clamp01(float x);
float smoothstep(float e0, float e1, float x);

// A colour given as 0xRRGGBB, in 0..1 channels.
Rgb hex(uint32_t rgb);

struct Canvas {
    int w = 0, h = 0;
    std::vector<Rgb> c;    // premultiplied colour, 0..1
    std::vector<float> a;  // coverage, 0..1

    Canvas(int width, int height);
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    void over(int x, int y, Rgb colour, float alpha);
    void add(int x, int y, Rgb light);
    void fill(Rgb colour, float alpha);
    Rgb straight(int x, int y) const;
    std::vector<uint32_t> to_argb() const;
};

float value_noise(float x, float y, int period_x, int period_y, uint32_t seed);
