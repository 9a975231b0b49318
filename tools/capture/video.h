// A video of the capture through one run of ffmpeg: the frames go to its
// standard input as raw pixels and the sound to its descriptor 3 as raw
// 16-bit stereo, both as they are made, and it encodes h.264 scaled to
// 1280x960 with nearest-neighbour sampling (the pixels stay crisp) and AAC.
// ffmpeg runs in its own process group, so a Ctrl+C at the terminal reaches
// capture alone, which then closes the video properly.
//
// Entry points:
//   video_ffmpeg_found()                      ffmpeg can be run
//   video_open(v, path, width, height, fps)   starts ffmpeg on a temporary
//                                             file beside `path`; "" or why not
//   video_frame(v, pixels)                    one frame of 0xAARRGGBB words
//   video_sound(v, samples)                   interleaved stereo samples
//   video_close(v)                            ends both streams, waits for
//                                             ffmpeg and renames the file into
//                                             place; "" or why not (a failed
//                                             write, ffmpeg's exit status)
//   VIDEO_PRESET                              x264's speed preset
//
// Both write calls return false once ffmpeg has gone (SIGPIPE is ignored by
// capture, so a write fails instead); video_close then tells how it ended.
//
// ffmpeg reads its inputs in turns and, while it starts, blocks on one until
// it has a whole packet of it (4096 bytes of sound). So capture never blocks
// on the picture pipe while ffmpeg may be waiting for sound: frames wait in
// a short queue (VIDEO_QUEUE_FRAMES), and only a full queue, which has
// passed on the sound of that many frames, waits for ffmpeg to read.
#pragma once

#include "tools/capture/output_file.h"

#include <sys/types.h>

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

extern const char VIDEO_PRESET[];
constexpr size_t VIDEO_QUEUE_FRAMES = 4;

struct VideoOut {
    OutputFile file;
    pid_t ffmpeg = -1;
    int picture_fd = -1;  // ffmpeg's standard input
    int sound_fd = -1;    // ffmpeg's descriptor 3
    int error = 0;        // errno of the first failed write
    std::deque<std::vector<uint32_t>> queue;  // frames not yet taken by ffmpeg
    size_t queue_sent = 0;                     // bytes of the front frame taken
    std::vector<std::vector<uint32_t>> spare;  // frame buffers to reuse
};

bool video_ffmpeg_found();
std::string video_open(VideoOut& v, const char* path, int width, int height, int fps);
bool video_frame(VideoOut& v, std::span<const uint32_t> pixels);
bool video_sound(VideoOut& v, std::span<const int16_t> samples);
std::string video_close(VideoOut& v);
