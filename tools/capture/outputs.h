// Everything one capture run writes: the PNG frames, the WAV soundtrack and
// the video, each its own piece (frames_out.h, wav_out.h, video.h). Every
// failure is reported here as "capture: <file>: <reason>", under the name
// the program was run as.
//
// Entry points:
//   outputs_open(out, options)          open what the options ask for; false
//                                       (reported) if any can't be, with
//                                       nothing left behind
//   outputs_sound(out, samples)         one device buffer, as it is made
//   outputs_frame(out, k, canvas, written)   frame k drawn into `canvas`,
//                                       written or not; false (reported)
//                                       once an output has failed
//   outputs_close(out, keep)            finish every output and rename it
//                                       into place (keep), or throw them
//                                       away; false (reported) on a failure
#pragma once

#include "core/frame_buffer.h"
#include "tools/capture/frames_out.h"
#include "tools/capture/options.h"
#include "tools/capture/sound_cut.h"
#include "tools/capture/video.h"
#include "tools/capture/wav_out.h"

#include <cstdint>
#include <span>
#include <vector>

struct Outputs {
    const CaptureOptions* options = nullptr;
    FramesOut frames;
    WavOut wav;
    VideoOut video;
    SoundCut video_sound;           // the video's sound, cut to its frames
    std::vector<uint32_t> doubled;  // demo2x's image, with --double
};

bool outputs_open(Outputs& out, const CaptureOptions& options);
void outputs_sound(Outputs& out, std::span<const int16_t> samples);
bool outputs_frame(Outputs& out, int64_t k, FrameView canvas, bool written);
bool outputs_close(Outputs& out, bool keep);
