#include "tools/capture/capture.h"

#include "app/frame.h"
#include "app/present.h"
#include "app/show.h"
#include "app/startup.h"
#include "core/clock.h"
#include "sound/player/player_clock.h"
#include "tools/capture/video.h"
#include "tools/common/png_write.h"
#include "tools/common/wav_writer.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int32_t RATE = 44100;
constexpr int32_t BUFFER_FRAMES = 4096;            // the demo's device buffer
constexpr int64_t LIMIT_MS = int64_t(10) * 60000;  // a song that never ends the show

// Static, as in the demo: the player keeps pointing into the module.
Show show;
std::array<uint8_t, MODULE_BYTES> module_data;
FrameBuffer canvas_storage;
std::vector<uint32_t> doubled_storage(size_t(4 * FRAME_PIXELS));

std::atomic<uint32_t> virtual_ms{0};
uint32_t virtual_clock() { return virtual_ms.load(std::memory_order_relaxed); }

FrameView fixed_canvas(void* storage) { return FrameView(*static_cast<FrameBuffer*>(storage)); }

int64_t buffer_time(int64_t j) { return j * BUFFER_FRAMES * 1000 / RATE; }
int64_t frame_time(int64_t k, int32_t fps) { return k * 1000 / fps; }

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

    clock_set_source(virtual_clock);
    pt_open_silent(RATE, BUFFER_FRAMES);
    startup_hand_over(show, module_data, module_size);
    startup_first_position();

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
    if (o.wav && !wav_open(wav, o.wav, RATE)) {
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

    std::vector<int16_t> soundtrack;  // kept whole for the video's sound
    std::vector<int16_t> buffer(2 * size_t(BUFFER_FRAMES));
    int64_t buffers = 0;
    int64_t first_written = -1, last_written = -1;
    bool failed = false, ended = false;
    const bool tty = isatty(STDERR_FILENO);
    const double started =
        std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    const FrameView canvas(canvas_storage);

    int64_t k = 0;
    int32_t pos = 0;
    for (;; k++) {
        const int64_t t = frame_time(k, o.fps);
        if (t > LIMIT_MS)
            break;
        // The device asks for every buffer due by now before the frame is drawn.
        for (; buffer_time(buffers) <= t; buffers++) {
            virtual_ms = uint32_t(buffer_time(buffers));
            std::fill(buffer.begin(), buffer.end(), int16_t(0));
            pt_audio_callback(nullptr, reinterpret_cast<uint8_t*>(buffer.data()), BUFFER_FRAMES * 4);
            if (o.wav)
                wav_write(wav, buffer.data(), BUFFER_FRAMES);
            if (o.video)
                soundtrack.insert(soundtrack.end(), buffer.begin(), buffer.end());
        }

        virtual_ms = uint32_t(t);
        const FrameMoment moment = frame_step(show, FrameHooks{fixed_canvas, nullptr, &canvas_storage});
        pos = moment.pos;
        ended = moment.ended;

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
            progress(k + 1, t, pos, started);
        if (ended || selection.done(t))
            break;
    }
    if (tty) {
        progress(k + 1, frame_time(k, o.fps), pos, started);
        std::fputc('\n', stderr);
    }
    if (!ended && frame_time(k, o.fps) > LIMIT_MS)
        std::fprintf(stderr, "capture: the music never passed position %d; stopped after 10 minutes\n",
                     SHOW_LAST_POSITION);

    if (o.wav && !wav_close(wav)) {
        std::fprintf(stderr, "capture: %s: write failed\n", o.wav);
        failed = true;
    }
    if (o.video) {
        // The sound under the written frames, from the first to the end of the last.
        const int64_t from = first_written < 0 ? 0 : first_written * RATE / o.fps;
        const int64_t to = last_written < 0 ? 0 : (last_written + 1) * RATE / o.fps;
        const int64_t have = int64_t(soundtrack.size() / 2);
        const int64_t begin = std::min(from, have), end = std::min(to, have);
        if (!video_close(video, soundtrack.data() + 2 * begin, end - begin)) {
            std::fprintf(stderr, "capture: %s: ffmpeg failed\n", o.video);
            failed = true;
        }
    }
    return failed ? 1 : 0;
}
