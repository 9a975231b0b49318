// The soundtrack under the written frames: frame k covers stereo frames
// k * 44100 / fps up to (k + 1) * 44100 / fps of the sound. The device's
// buffers run ahead of the frames by up to one buffer, so what is made is
// held here until the frames over it are known, and passed on as they are
// written: the sound before the first written frame is dropped, and, unless
// `keep_tail` is set, none goes past the end of the last (with it, every
// sample made from the first written frame on is passed on).
//
// Entry points:
//   sound_cut_add(cut, samples)          one device buffer, as it is made
//   sound_cut_frame(cut, k, written, sink)   frame k has been drawn, and
//                                        written or not: pass on what lies
//                                        under written frames and is made
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Where the cut sound goes: interleaved left and right 16-bit samples.
struct SoundSink {
    void (*write)(void* context, std::span<const int16_t> samples) = nullptr;
    void* context = nullptr;
};

struct SoundCut {
    int32_t fps = 60;
    bool keep_tail = false;        // pass on all that is made, not only under frames
    int64_t made = 0;              // stereo frames made so far
    int64_t held_from = 0;         // the stereo frame `held` starts at
    int64_t end = 0;               // the end of the last written frame's sound
    bool started = false;          // a frame has been written
    std::vector<int16_t> held;     // made, not yet passed on or dropped
};

void sound_cut_add(SoundCut& cut, std::span<const int16_t> samples);
void sound_cut_frame(SoundCut& cut, int64_t k, bool written, const SoundSink& sink);
