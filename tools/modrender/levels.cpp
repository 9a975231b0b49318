#include "tools/modrender/levels.h"

#include <cmath>
#include <limits>

void levels_reduce(const int32_t* wide, int16_t* out, int32_t frames, Levels& levels)
{
    int64_t wrapped = 0;
    uint32_t peak = uint32_t(levels.peak);
    for (int32_t i = 0; i < frames; ++i) {
        const int32_t a = wide[2 * i];
        const int32_t b = wide[2 * i + 1];
        out[2 * i] = int16_t(uint16_t(uint32_t(a)));
        out[2 * i + 1] = int16_t(uint16_t(uint32_t(b)));
        // A sum fits when adding 32768 lands it in 0..65535.
        wrapped += (uint32_t(a) + 32768u > 65535u) | (uint32_t(b) + 32768u > 65535u);
        const uint32_t ma = a < 0 ? 0u - uint32_t(a) : uint32_t(a);
        const uint32_t mb = b < 0 ? 0u - uint32_t(b) : uint32_t(b);
        peak = ma > peak ? ma : peak;
        peak = mb > peak ? mb : peak;
    }
    levels.wrapped_frames += wrapped;
    levels.peak = peak;
}

double levels_dbfs(int64_t peak)
{
    if (peak <= 0)
        return -std::numeric_limits<double>::infinity();
    return 20.0 * std::log10(double(peak) / 32768.0);
}
