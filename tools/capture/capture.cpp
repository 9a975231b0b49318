#include "tools/capture/capture.h"

#include "app/frame.h"
#include "app/headless_run.h"
#include "app/present.h"
#include "app/show.h"
#include "app/startup.h"
#include "core/sound_rates.h"
#include "tools/capture/video.h"
#include "tools/common/png_write.h"
#include "tools/common/wav_writer.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int64_t LIMIT_MS = int64_t(10) * 60000;  // a song that never ends the show

// Static, as in the demo: the player keeps pointing into the module.
Show show;
std::array<uint8_t, MODULE_BYTES> module_data;
FrameBuffer canvas_storage;
std::vector<uint32_t> doubled_storage(size_t(4 * FRAME_PIXELS));

// Where the device's buffers go: the WAV file, and the video's sound kept whole.
struct Soundtrack {
    WavWriter* wav;
    bool keep;
    std::vector<int16_t> samples;
};

void keep_sound(void* context, std::span<const int16_t> buffer)
{
    Soundtrack& s = *static_cast<Soundtrack*>(context);
    if (s.wav)
        wav_write(*s.wav, buffer.data(), int32_t(buffer.size() / 2));
    if (s.keep)
        s.samples.insert(s.samples.end(), buffer.begin(), buffer.end());
}

// Which frames are written: inside [from, to], and, with --at, only the
// first frame at or after each listed time.
struct Selection {
    const CaptureOptions& o;
    size_t next_at = 0;  // into the sorted list

    bool wanted(int64_t t)
    {
        if (t < o.from || t > o.to)
            return false;
        if (o.at.empty())
            return true;
        bool hit = false;
        while (next_at < o.at.size() && o.at[next_at] <= t) {
            hit = true;
            next_at++;
        }
        return hit;
    }
    // No later frame can be written.
    bool done(int64_t t) const { return t > o.to || (!o.at.empty() && next_at == o.at.size()); }
};

double seconds_now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Percent of the show (by music position), frames drawn, speed against real time.
void progress(int64_t frames, int64_t t, int32_t pos, double started)
{
    const double wall = seconds_now() - started;
    const int percent = std::clamp(pos * 100 / (SHOW_LAST_POSITION + 1), 0, 100);
    std::fprintf(stderr, "\rcapture: %3d%%  %lld frames  %.1fx real time ", percent,
                 static_cast<long long>(frames), wall > 0 ? double(t) / 1000 / wall : 0.0);
}

}  // namespace

int capture_run(const CaptureOptions& o)
{
    int32_t module_size = 0;
    if (const int status = startup_load(show, module_data, module_size))
        return status;
    if (o.video && !video_ffmpeg_found()) {
        std::fprintf(stderr,
                     "capture: --video needs ffmpeg, which is not installed (apt-get install ffmpeg)\n");
        return 1;
    }

    std::vector<int64_t> at = o.at;
    std::sort(at.begin(), at.end());
    CaptureOptions sorted = o;
    sorted.at = at;
    Selection selection{sorted};

    std::error_code error;
    if (o.frames_dir && (std::filesystem::create_directories(o.frames_dir, error), error)) {
        std::fprintf(stderr, "capture: %s: cannot make the directory\n", o.frames_dir);
        return 1;
    }
    WavWriter wav;
    if (o.wav && !wav_open(wav, o.wav, SAMPLE_RATE)) {
        std::fprintf(stderr, "capture: %s: cannot create the file\n", o.wav);
        return 1;
    }
    const int width = o.doubled ? 2 * FRAME_WIDTH : FRAME_WIDTH;
    const int height = o.doubled ? 2 * FRAME_HEIGHT : FRAME_HEIGHT;
    VideoOut video;
    if (o.video && !video_open(video, o.video, width, height, o.fps)) {
        std::fprintf(stderr, "capture: %s: cannot start ffmpeg\n", o.video);
        return 1;
    }

    Soundtrack soundtrack{o.wav ? &wav : nullptr, o.video != nullptr, {}};
    HeadlessRun run;
    run.fps = o.fps;
    run.until_ms = LIMIT_MS;
    if (o.wav || o.video)
        run.sound = {keep_sound, &soundtrack};
    headless_start_show(run, show, module_data, module_size);

    int64_t first_written = -1, last_written = -1;
    bool failed = false;
    const bool tty = isatty(STDERR_FILENO);
    const double started = seconds_now();
    const FrameView canvas(canvas_storage);

    while (headless_step(run, show, canvas)) {
        const int64_t k = run.frame - 1;
        const int64_t t = run.moment_ms;
        if (selection.wanted(t)) {
            std::span<const uint32_t> image(canvas);
            if (o.doubled) {
                present_double(canvas, reinterpret_cast<uint8_t*>(doubled_storage.data()),
                               2 * FRAME_WIDTH * int32_t(sizeof(uint32_t)));
                image = doubled_storage;
            }
            if (o.frames_dir) {
                char name[32];
                std::snprintf(name, sizeof name, "/frame_%06lld.png", static_cast<long long>(k));
                const std::string path = std::string(o.frames_dir) + name;
                if (!png_write_rgb(path.c_str(), width, height, image)) {
                    std::fprintf(stderr, "capture: %s: cannot write the frame\n", path.c_str());
                    failed = true;
                    break;
                }
            }
            if (o.video)
                video_frame(video, image);
            if (first_written < 0)
                first_written = k;
            last_written = k;
        }
        if (tty && k % 30 == 0)
            progress(run.frame, t, run.moment.pos, started);
        if (selection.done(t))
            break;
    }
    headless_clock_release();
    if (tty) {
        progress(run.frame, run.moment_ms, run.moment.pos, started);
        std::fputc('\n', stderr);
    }
    if (run.stopped == HeadlessStop::time)
        std::fprintf(stderr, "capture: the music never passed position %d; stopped after 10 minutes\n",
                     SHOW_LAST_POSITION);

    if (o.wav && !wav_close(wav)) {
        std::fprintf(stderr, "capture: %s: write failed\n", o.wav);
        failed = true;
    }
    if (o.video) {
        // The sound under the written frames, from the first to the end of the last.
        const int64_t from = first_written < 0 ? 0 : first_written * SAMPLE_RATE / o.fps;
        const int64_t to = last_written < 0 ? 0 : (last_written + 1) * SAMPLE_RATE / o.fps;
        const int64_t have = int64_t(soundtrack.samples.size() / 2);
        const int64_t begin = std::min(from, have), end = std::min(to, have);
        if (!video_close(video, soundtrack.samples.data() + 2 * begin, end - begin)) {
            std::fprintf(stderr, "capture: %s: ffmpeg failed\n", o.video);
            failed = true;
        }
    }
    return failed ? 1 : 0;
}
