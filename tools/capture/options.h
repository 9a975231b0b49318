// capture's command line.
//
// Entry points:
//   capture_parse(argc, argv, options)   false on anything it doesn't take
//   CAPTURE_USAGE                         the usage text
#pragma once

#include <cstdint>
#include <vector>

struct CaptureOptions {
    int32_t fps = 60;                  // frame k is drawn at k * 1000 / fps ms
    const char* frames_dir = nullptr;  // DIR/frame_NNNNNN.png
    const char* wav = nullptr;         // the soundtrack, 16-bit stereo 44100 Hz
    const char* video = nullptr;       // h.264 + AAC through ffmpeg
    std::vector<int64_t> at;           // only the first frame at or after each, ms
    int64_t from = 0;                  // frames written from this time on, ms
    int64_t to = INT64_MAX;            // ... up to this time, ms
    bool doubled = false;              // the 640x480 image of demo2x
};

extern const char CAPTURE_USAGE[];

bool capture_parse(int argc, char** argv, CaptureOptions& options);
