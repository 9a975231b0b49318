// A video of the capture through ffmpeg: the frames are piped to it as raw
// pixels and encoded as h.264, scaled to 1280x960 with nearest-neighbour
// sampling so the pixels stay crisp; then the sound is muxed in as AAC.
//
// Entry points:
//   video_ffmpeg_found()                 ffmpeg can be run
//   video_open(v, path, width, height, fps)   starts the encoder; false if not
//   video_frame(v, pixels)               one frame of 0xAARRGGBB words
//   video_close(v, sound, frames)        finishes the picture, then muxes the
//                                        given stereo frames in; false on any
//                                        failure since video_open
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

struct VideoOut {
    std::FILE* pipe = nullptr;
    std::string path;     // the finished file
    std::string picture;  // the picture alone, before the sound is added
    int width = 0;
    int height = 0;
    bool failed = false;
};

bool video_ffmpeg_found();
bool video_open(VideoOut& v, const char* path, int width, int height, int fps);
void video_frame(VideoOut& v, std::span<const uint32_t> pixels);
bool video_close(VideoOut& v, const int16_t* sound, int64_t frames);
