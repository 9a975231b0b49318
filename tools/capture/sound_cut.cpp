#include "tools/capture/sound_cut.h"

#include "core/sound_rates.h"

#include <algorithm>

namespace {

// Let go of the held sound up to stereo frame `upto`, passing it on or not.
void release(SoundCut& cut, int64_t upto, const SoundSink* sink)
{
    const int64_t n = std::clamp<int64_t>(upto - cut.held_from, 0, cut.made - cut.held_from);
    if (n == 0)
        return;
    const auto first = cut.held.begin();
    if (sink)
        sink->write(sink->context, std::span<const int16_t>(&*first, size_t(2 * n)));
    cut.held.erase(first, first + 2 * n);
    cut.held_from += n;
}

}  // namespace

void sound_cut_add(SoundCut& cut, std::span<const int16_t> samples)
{
    cut.held.insert(cut.held.end(), samples.begin(), samples.end());
    cut.made += int64_t(samples.size() / 2);
}

void sound_cut_frame(SoundCut& cut, int64_t k, bool written, const SoundSink& sink)
{
    const int64_t frame_end = (k + 1) * SAMPLE_RATE / cut.fps;
    if (written) {
        cut.started = true;
        cut.end = frame_end;
    }
    if (cut.started)
        release(cut, cut.keep_tail ? cut.made : cut.end, &sink);
    else
        release(cut, frame_end, nullptr);  // a later first frame starts past this one's sound
}
