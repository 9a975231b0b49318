// A 16-bit stereo PCM WAV file written as it goes: a 44-byte header whose
// sizes are filled in when the file is closed. A file that can't seek back
// (a pipe, a terminal) gets the header streaming writers use instead: both
// sizes 0xFFFFFFFF, read as "until the end of the stream".
//
// Entry points:
//   wav_open(path, rate)         creates the file; false if it cannot (errno
//                                tells why)
//   wav_write(w, frames, n)      appends n interleaved stereo frames
//   wav_close(w)                 writes the sizes and closes; false on any
//                                write error since wav_open, `error` the
//                                errno of the first
//
// Samples are written in host order; the target is little-endian, as WAV is.
#pragma once

#include "core/sound_rates.h"

#include <cstdint>
#include <cstdio>

struct WavWriter {
    std::FILE* file = nullptr;
    int32_t rate = SAMPLE_RATE;  // frames per second, as wav_open was given
    int64_t frames = 0;
    bool failed = false;
    bool streaming = false;  // sizes left at their largest
    int error = 0;           // errno of the first failed write
};

bool wav_open(WavWriter& w, const char* path, int32_t rate);
void wav_write(WavWriter& w, const int16_t* frames, int32_t n);
bool wav_close(WavWriter& w);
