#include "gfx/fx/smoke.h"

#include "core/rand.h"
#include "core/wrap_int.h"
#include "gfx/fx/plot_dot.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Columns left of this never heal: the trails start there.
constexpr int RECOVER_FIRST_COLUMN = 60;

struct SmokeState {
    std::array<SmokeParticle, SMOKE_PARTICLES> particles{};
    bool seeded = false;
};

SmokeState state;

// Every byte (blue, green, red and alpha alike) below the target's rises by
// one; bytes above it stay, so the image only brightens. A word equal to its
// target has no byte below it and is left as it is. Per byte that is
// max(b, min(b + 1, t)), with b + 1 saturating at 255.
void recover(FrameView buf, std::span<const uint32_t, FRAME_PIXELS> target)
{
    constexpr int ROW_BYTES = (FRAME_WIDTH - RECOVER_FIRST_COLUMN) * 4;
    for (int y = 0; y < FRAME_HEIGHT; y++) {
        const size_t first = size_t(y * FRAME_WIDTH + RECOVER_FIRST_COLUMN);
        uint8_t* b = reinterpret_cast<uint8_t*>(&buf[first]);
        const uint8_t* t = reinterpret_cast<const uint8_t*>(&target[first]);
        int k = 0;
#if defined(__SSE2__)
        const __m128i one = _mm_set1_epi8(1);
        for (; k + 16 <= ROW_BYTES; k += 16) {
            const __m128i bv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + k));
            const __m128i tv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + k));
            const __m128i up = _mm_max_epu8(bv, _mm_min_epu8(_mm_adds_epu8(bv, one), tv));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(b + k), up);
        }
#endif
        for (; k < ROW_BYTES; k++)
            b[k] = uint8_t(b[k] + (b[k] < t[k]));
    }
}

void seed()
{
    for (SmokeParticle& p : state.particles) {
        p.x = 75 << 10;
        p.y = ((core_rand() % 30) + 150) << 10;
        p.vx = (core_rand() % 5100) / 4 + 2400;
        p.vy = -600 - (core_rand() % 5100) / 8;
        p.dir = core_rand() % 2;
        p.spin = (core_rand() % 10240) / 40 + 10;
    }
    state.seeded = true;
}

void move(FrameView buf, SmokeParticle& p)
{
    p.x = wrap_add(p.x, p.vx);
    p.y = wrap_add(p.y, p.vy);
    // Damping by 1010/1024 a call; >> floors, so a slow negative velocity
    // settles at -1 rather than 0.
    const int32_t vx = (p.vx * 1010) >> 10;
    const int32_t vy = (p.vy * 1010) >> 10;
    // A turn by a constant angle, h/1024 radians, with the product taken with
    // -h before the shift (not the negated shifted product).
    const int32_t h = (p.spin * 90) >> 10;
    if (p.dir != 0) {
        p.vx = vx + ((vy * h) >> 10);
        p.vy = vy + ((vx * -h) >> 10);
    } else {
        p.vy = vy + ((vx * h) >> 10);
        p.vx = vx + ((vy * -h) >> 10);
    }
    // Column 1 to 318, row 1 to 238, so the cross stays in the image and
    // never wraps to the next row.
    if (p.x >= 1024 && p.x <= 326655 && p.y > 1023 && p.y <= 244735)
        fx_plot_dot(buf, (p.y >> 10) * FRAME_WIDTH + (p.x >> 10), 0);
}

}  // namespace

void fx_smoke(FrameView buf, std::span<const uint32_t, FRAME_PIXELS> target, int32_t count, int32_t reseed)
{
    recover(buf, target);
    if (!state.seeded || reseed == 1)
        seed();
    const int32_t n = std::clamp(count, 0, SMOKE_PARTICLES);
    for (int32_t i = 0; i < n; i++)
        move(buf, state.particles[size_t(i)]);
}

void fx_smoke_reset() { state = SmokeState{}; }
