// The instruments, synthesised as signed 8-bit PCM.
//
// Every pitched sample is tuned so that the note C-2 (period 428, played at
// 3546836/428 = 8287 samples a second) sounds a C: its loop holds a whole
// number of cycles of every partial. Drums are rendered at the rate of the
// one note they are played at. Looped samples carry two bytes past the loop
// that repeat its first two, so a mixer that reads one byte beyond the loop
// end before wrapping still hears a seamless cycle. One-shot samples start
// and end on 0.
//
// Entry points:
//   SampleId                 the sample numbers the score uses
//   make_samples()           the whole sample set, in sample-number order
//   playback_rate(period)    samples a second at a period
#pragma once

#include <vector>

#include "tools/music/song.h"

enum SampleId : int {
    KICK = 1,
    SNARE,
    HAT,
    CRASH,
    BASS,
    PAD_MINOR,
    PAD_MAJOR,
    LEAD,
    PLUCK,
    CHIP,
    STAB,
    RISER,
    IMPACT,
    SAMPLE_COUNT = IMPACT
};

std::vector<SampleDef> make_samples();
double playback_rate(int period);
