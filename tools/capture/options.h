// capture's command line.
//
// Entry points:
//   capture_parse(argc, argv, options)   "" when the arguments are taken,
//                                         else why not (status 2); the
//                                         program's name from argv[0]
//   CAPTURE_USAGE                         the usage text
//   CAPTURE_FPS_LIMIT                     the highest --fps
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

constexpr int32_t CAPTURE_FPS_LIMIT = 1000;  // a frame per virtual millisecond

struct CaptureOptions {
    int32_t fps = 60;                  // frame k is drawn at k * 1000 / fps ms
    const char* frames_dir = nullptr;  // DIR/frame_NNNNNN.png
    const char* wav = nullptr;         // the soundtrack, 16-bit stereo 44100 Hz
    const char* video = nullptr;       // h.264 + AAC through ffmpeg
    std::vector<int64_t> at;           // only the first frame at or after each, ms, sorted
    int64_t from = 0;                  // frames written from this time on, ms
    int64_t to = std::numeric_limits<int64_t>::max();  // ... up to this time, ms
    bool doubled = false;              // the 640x480 image of demo2x
    const char* name = "capture";      // as run (argv[0] without folder), for messages
};

extern const char CAPTURE_USAGE[];

std::string capture_parse(int argc, const char* const* argv, CaptureOptions& options);
