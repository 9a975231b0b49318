#include "tools/capture/capture.h"

#include "app/frame.h"
#include "app/headless_run.h"
#include "app/show.h"
#include "app/signals.h"
#include "app/startup.h"
#include "sound/player/loader.h"
#include "tools/capture/outputs.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>

namespace {

constexpr int64_t LIMIT_MS = int64_t(10) * 60000;  // a song that never ends the show

// Static, as in the demo: the player keeps pointing into the module.
Show show;
std::array<uint8_t, MODULE_BYTES> module_data;
FrameBuffer canvas_storage;

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
void progress(const char* name, const HeadlessRun& run, double started)
{
    const double wall = seconds_now() - started;
    const int percent = std::clamp(run.moment.pos * 100 / (SHOW_LAST_POSITION + 1), 0, 100);
    std::fprintf(stderr, "\r%s: %3d%%  %lld frames  %.1fx real time ", name, percent,
                 static_cast<long long>(run.frame), wall > 0 ? double(run.moment_ms) / 1000 / wall : 0.0);
}

void take_sound(void* outputs, std::span<const int16_t> samples)
{
    outputs_sound(*static_cast<Outputs*>(outputs), samples);
}

// The show's data, loaded and handed to the player; 0 or the exit status.
int start(const char* name, HeadlessRun& run)
{
    int32_t module_size = 0;
    StartupFailure why;
    if (const int status = startup_load(show, module_data, module_size, &why)) {
        if (!why.file.empty())
            std::fprintf(stderr, "%s: %s: %s\n", name, why.file.c_str(), why.reason);
        return status;
    }
    if (!headless_start_show(run, show, module_data, module_size)) {
        const char* reason = pt_last_error();
        std::fprintf(stderr, "%s: %s: %s\n", name, assets_data_path("music.mod").c_str(),
                     reason ? reason : "not a module the player takes");
        return 1;
    }
    return 0;
}

// The --at times no frame was written for: all past the run's last frame.
void report_unreached(const CaptureOptions& o, const Selection& selection, int64_t last_ms)
{
    std::string times;
    for (size_t i = selection.next_at; i < o.at.size(); i++)
        times += (times.empty() ? "" : ",") + std::to_string(o.at[i]);
    std::fprintf(stderr, "%s: the run ended at %lld ms; never reached: %s\n", o.name,
                 static_cast<long long>(last_ms), times.c_str());
}

}  // namespace

int capture_run(const CaptureOptions& o)
{
    if (o.video && !video_ffmpeg_found()) {
        std::fprintf(stderr, "%s: --video needs ffmpeg, which is not installed (apt-get install ffmpeg)\n",
                     o.name);
        return 1;
    }
    HeadlessRun run;
    run.fps = o.fps;
    run.until_ms = LIMIT_MS;
    if (const int status = start(o.name, run))
        return status;

    // A reader that goes away is a failed write, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    signals_install();
    Outputs out;
    if (!outputs_open(out, o))
        return 1;
    if (o.wav || o.video)
        run.sound = {take_sound, &out};

    Selection selection{o};
    bool ok = true;
    const bool tty = isatty(STDERR_FILENO);
    const double started = seconds_now();
    const FrameView canvas(canvas_storage);
    while (!signals_quit_asked() && headless_step(run, show, canvas)) {
        const int64_t t = run.moment_ms;
        if (!outputs_frame(out, run.frame - 1, canvas, selection.wanted(t))) {
            ok = false;
            break;
        }
        if (tty && run.frame % 30 == 1)
            progress(o.name, run, started);
        if (selection.done(t))
            break;
    }
    headless_clock_release();
    if (tty) {
        progress(o.name, run, started);
        std::fputc('\n', stderr);
    }
    ok = outputs_close(out, ok) && ok;
    if (!ok)
        return 1;
    if (const int signal = signals_caught())
        return 128 + signal;
    if (run.stopped == HeadlessStop::time)
        std::fprintf(stderr, "%s: the music never passed position %d; stopped after 10 minutes\n", o.name,
                     SHOW_LAST_POSITION);
    if (selection.next_at < o.at.size()) {
        report_unreached(o, selection, run.moment_ms);
        return 1;
    }
    return 0;
}
