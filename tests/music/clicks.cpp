#include "tests/music/clicks.h"

#include <algorithm>
#include <cstdlib>

std::vector<long> tick_clicks(const std::vector<int16_t>& samples, const std::vector<long>& ticks)
{
    const long frames = long(samples.size() / 2);
    const long reach = 22050;  // 0.5 s each way
    auto step = [&](long f) {  // frame f against frame f - 1
        return std::max(std::abs(samples[2 * f] - samples[2 * f - 2]),
                        std::abs(samples[2 * f + 1] - samples[2 * f - 1]));
    };
    std::vector<long> out;
    std::vector<int> around;
    for (long f : ticks) {
        if (f < 1 || f >= frames)
            continue;
        int jump = step(f);
        if (jump <= 1500)
            continue;  // most ticks: no need for the percentile
        around.clear();
        for (long i = std::max(1L, f - reach); i < std::min(frames, f + reach); ++i)
            around.push_back(step(i));
        auto at = around.begin() + long(0.995 * double(around.size() - 1));
        std::nth_element(around.begin(), at, around.end());
        if (jump > 2 * *at)
            out.push_back(f);
    }
    return out;
}
