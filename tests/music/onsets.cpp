#include "tests/music/onsets.h"

#include "core/music_pos.h"
#include "tools/music/song.h"

#include <algorithm>
#include <cmath>

namespace {

double energy(const std::vector<int16_t>& s, long from, long to)
{
    from = std::max(from, 0L);
    to = std::min<long>(to, long(s.size() / 2));
    if (to <= from)
        return 0;
    double sum = 0;
    for (long i = from; i < to; ++i) {
        double m = (double(s[2 * i]) + s[2 * i + 1]) / 2;
        sum += m * m;
    }
    return sum / double(to - from);
}

}  // namespace

long row_frame(int pos) { return long(music_pos_index(pos)) * SPEED * TICK_FRAMES; }

double onset_rise(const std::vector<int16_t>& samples, long frame)
{
    const long window = 220, reach = 1323;  // 5 ms, 30 ms at 44100 Hz
    double before = energy(samples, frame - 882, frame);
    double after = 0;
    for (long start = frame; start + window <= frame + reach; start += window / 2)
        after = std::max(after, energy(samples, start, start + window));
    return after / std::max(before, 1.0);
}

double rms_dbfs(const std::vector<int16_t>& samples, long from, long to)
{
    from = std::max(from, 0L);
    to = std::min<long>(to, long(samples.size() / 2));
    double sum = 0;
    for (long i = 2 * from; i < 2 * to; ++i)
        sum += double(samples[size_t(i)]) * samples[size_t(i)];
    double rms = to > from ? std::sqrt(sum / double(2 * (to - from))) : 0;
    return 20 * std::log10(std::max(rms, 1e-3) / 32768);  // digital silence reads -150
}
