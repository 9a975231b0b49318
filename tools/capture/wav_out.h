// capture's soundtrack as a WAV file: every buffer the run makes, or, with
// `cut` (--from), from the sound under the first written frame on. The
// end is the last device buffer made, so a run cut by --to ends within one
// buffer (93 ms) past it, as a full run ends just past the show's last frame.
// Written under a temporary name and renamed once complete; a pipe gets
// the streaming header (tools/common/wav_writer.h).
//
// Entry points:
//   wav_out_open(w, path, cut, fps)   "" or why not
//   wav_out_add(w, samples)           one device buffer, as it is made
//   wav_out_frame(w, k, written)      frame k drawn (and written or not)
//   wav_out_failed(w)                 why the file can't be written, or ""
//   wav_out_close(w, keep)            finish it (keep) or throw it away;
//                                     "" or why it could not be finished
#pragma once

#include "tools/capture/output_file.h"
#include "tools/capture/sound_cut.h"
#include "tools/common/wav_writer.h"

#include <span>
#include <string>

struct WavOut {
    OutputFile file;
    WavWriter writer;
    bool cut = false;  // only the sound under written frames
    SoundCut sound;
};

std::string wav_out_open(WavOut& w, const char* path, bool cut, int32_t fps);
void wav_out_add(WavOut& w, std::span<const int16_t> samples);
void wav_out_frame(WavOut& w, int64_t k, bool written);
std::string wav_out_failed(const WavOut& w);
std::string wav_out_close(WavOut& w, bool keep);
