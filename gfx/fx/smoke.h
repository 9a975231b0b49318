// Smoke trails over a persistent work image: the image heals one step
// towards its target picture, and up to 25 particles curl away from a common
// source in tightening spirals, each leaving a black dot in a darkened cross.
//
// Entry points:
//   SmokeParticle                            one particle
//   fx_smoke(buf, target, count, reseed)     one step: recover, seed, move
//   fx_smoke_reset()                         particles unseeded (start of a run)
//
// Positions and velocities are fixed point with 10 fraction bits (1024 = one
// pixel). Seeding calls core_rand() five times per particle, in field order y, vx,
// vy, dir, spin; it runs on the first call and whenever reseed is 1.
#pragma once

#include "core/frame_buffer.h"

#include <cstdint>

struct SmokeParticle {
    int32_t x, y;    // position
    int32_t vx, vy;  // velocity per call
    int32_t spin;    // turning rate, 10..265
    int32_t dir;     // turning direction, 0 or 1
};

constexpr int SMOKE_PARTICLES = 25;

// `count` particles move (clamped to 0..25); `target` is a 320x240 picture.
void fx_smoke(FrameView buf, std::span<const uint32_t, FRAME_PIXELS> target, int32_t count, int32_t reseed);
void fx_smoke_reset();
