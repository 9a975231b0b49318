#include "gfx/fx/blit.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void fx_alpha_row(uint32_t* dst, const uint32_t* src, int32_t n)
{
    int32_t i = 0;
#if defined(__SSE2__)
    // Channels widened to 16 bits: a * S and (255 - a) * D are at most
    // 65025, so the low 16 bits of each product are the whole product, and
    // the shifted sum (at most 254) packs back to a byte exactly.
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(255);
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i below = _mm_set1_epi32(8), above = _mm_set1_epi32(250);
    for (; i + 4 <= n; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i a = _mm_srli_epi32(s, 24);
        const __m128i clear = _mm_cmplt_epi32(a, below);
        if (_mm_movemask_epi8(clear) == 0xFFFF)
            continue;  // most of an overlay: nothing to lay
        const __m128i opaque = _mm_cmpgt_epi32(a, above);
        if (_mm_movemask_epi8(opaque) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
            continue;
        }
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        const __m128i s_lo = _mm_unpacklo_epi8(s, zero), s_hi = _mm_unpackhi_epi8(s, zero);
        const __m128i d_lo = _mm_unpacklo_epi8(d, zero), d_hi = _mm_unpackhi_epi8(d, zero);
        const __m128i a_lo = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s_lo, 0xFF), 0xFF);
        const __m128i a_hi = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s_hi, 0xFF), 0xFF);
        const __m128i lo = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(s_lo, a_lo), 8),
                                         _mm_srli_epi16(_mm_mullo_epi16(d_lo, _mm_sub_epi16(full, a_lo)), 8));
        const __m128i hi = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(s_hi, a_hi), 8),
                                         _mm_srli_epi16(_mm_mullo_epi16(d_hi, _mm_sub_epi16(full, a_hi)), 8));
        const __m128i blend = _mm_and_si128(_mm_packus_epi16(lo, hi), colour);
        const __m128i laid = _mm_or_si128(_mm_and_si128(opaque, s), _mm_andnot_si128(opaque, blend));
        const __m128i out = _mm_or_si128(_mm_and_si128(clear, d), _mm_andnot_si128(clear, laid));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), out);
    }
#endif
    for (; i < n; i++)
        dst[i] = fx_alpha_over(src[i], dst[i]);
}

void fx_blit_rect(FrameView dst, std::span<const uint32_t, FRAME_PIXELS> src, int32_t x, int32_t y, int32_t w,
                  int32_t h)
{
    // In 64 bits so that a rectangle reaching past the 32-bit range still
    // clips instead of wrapping.
    const int64_t x0 = std::max<int64_t>(x, 0), x1 = std::min<int64_t>(int64_t(x) + w, FRAME_WIDTH);
    const int64_t y0 = std::max<int64_t>(y, 0), y1 = std::min<int64_t>(int64_t(y) + h, FRAME_HEIGHT);
    if (x0 >= x1)
        return;
    for (int64_t row = y0; row < y1; row++) {
        const size_t i = size_t(row * FRAME_WIDTH + x0);
        fx_alpha_row(&dst[i], &src[i], int32_t(x1 - x0));
    }
}
