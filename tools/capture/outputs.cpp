#include "tools/capture/outputs.h"

#include "app/present.h"
#include "tools/capture/output_file.h"

#include <csignal>
#include <cstdio>

namespace {

void video_sound_sink(void* context, std::span<const int16_t> samples)
{
    video_sound(*static_cast<VideoOut*>(context), samples);
}

// True while every output takes what it is given; else the first that
// failed is reported, and false.
bool still_writing(Outputs& out)
{
    const CaptureOptions& o = *out.options;
    if (o.wav) {
        if (const std::string why = wav_out_failed(out.wav); !why.empty()) {
            output_report(o.name, o.wav, why);
            return false;
        }
    }
    if (o.video && out.video.error) {
        // ffmpeg's own status tells more than the broken pipe.
        output_report(o.name, o.video, video_close(out.video));
        return false;
    }
    return true;
}

}  // namespace

bool outputs_open(Outputs& out, const CaptureOptions& o)
{
    out.options = &o;
    const int width = o.doubled ? 2 * FRAME_WIDTH : FRAME_WIDTH;
    const int height = o.doubled ? 2 * FRAME_HEIGHT : FRAME_HEIGHT;
    if (o.doubled)
        out.doubled.resize(size_t(width) * size_t(height));
    std::string why;
    const char* path = nullptr;
    if (o.frames_dir && (why = frames_open(out.frames, o.frames_dir, width, height), !why.empty()))
        path = o.frames_dir;
    if (!path && o.wav && (why = wav_out_open(out.wav, o.wav, o.from > 0, o.fps), !why.empty()))
        path = o.wav;
    if (!path && o.video && (why = video_open(out.video, o.video, width, height, o.fps), !why.empty())) {
        path = o.video;
        if (o.wav)
            wav_out_close(out.wav, false);
    }
    if (path) {
        output_report(o.name, path, why);
        return false;
    }
    out.video_sound.fps = o.fps;
    return true;
}

void outputs_sound(Outputs& out, std::span<const int16_t> samples)
{
    if (out.options->wav)
        wav_out_add(out.wav, samples);
    if (out.options->video)
        sound_cut_add(out.video_sound, samples);
}

bool outputs_frame(Outputs& out, int64_t k, FrameView canvas, bool written)
{
    const CaptureOptions& o = *out.options;
    std::span<const uint32_t> image(canvas);
    if (written) {
        if (o.doubled) {
            present_double(canvas, reinterpret_cast<uint8_t*>(out.doubled.data()),
                           2 * FRAME_WIDTH * int32_t(sizeof(uint32_t)));
            image = out.doubled;
        }
        if (o.frames_dir) {
            if (const std::string why = frames_write(out.frames, k, image); !why.empty()) {
                output_report(o.name, out.frames.failed, why);
                return false;
            }
        }
    }
    // The sound under the frame goes first, so ffmpeg never waits for it.
    if (o.wav)
        wav_out_frame(out.wav, k, written);
    if (o.video) {
        sound_cut_frame(out.video_sound, k, written, SoundSink{video_sound_sink, &out.video});
        if (written)
            video_frame(out.video, image);
    }
    return still_writing(out);
}

bool outputs_close(Outputs& out, bool keep)
{
    const CaptureOptions& o = *out.options;
    bool ok = true;
    if (o.wav) {
        if (const std::string why = wav_out_close(out.wav, keep); !why.empty()) {
            output_report(o.name, o.wav, why);
            ok = false;
        }
    }
    if (o.video && out.video.ffmpeg > 0) {
        if (!keep) {
            output_discard(out.video.file);
            kill(out.video.ffmpeg, SIGTERM);  // nothing it makes now is kept
        }
        const std::string why = video_close(out.video);
        if (keep && !why.empty()) {
            output_report(o.name, o.video, why);
            ok = false;
        }
    }
    return ok;
}
