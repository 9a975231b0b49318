// A library to preload into either program (LD_PRELOAD) for measuring it on
// whichever SDL 1.2 library it runs on: it counts the display flips and, when
// the program exits, writes one line on standard error:
//
//   flip_meter: first frame 212.4 ms, 1183 frames in 9.84 s, 120.2 frames/s,
//               frame loop 99.1% of a core, process 104.6%
//
// "first frame" runs from the moment the program is loaded to the end of its
// first flip. The rate and the CPU shares cover the time from the end of the
// first flip to the end of the last: the frame loop's share is the main
// thread's CPU time (drawing, presentation, input and waiting in the flip),
// the process's adds the audio thread and SDL's own.
#include <dlfcn.h>
#include <sys/resource.h>

#include <cstdio>
#include <ctime>

namespace {

struct Meter {
    double loaded = 0;                                       // s, CLOCK_MONOTONIC
    double first_flip = 0, last_flip = 0;                    // s, CLOCK_MONOTONIC
    double main_cpu_at_first = 0, process_cpu_at_first = 0;  // s
    double main_cpu_at_last = 0, process_cpu_at_last = 0;    // s
    long frames = 0;
    int (*flip)(void*) = nullptr;
};

Meter meter;

double monotonic_seconds()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double cpu_seconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

__attribute__((constructor)) void meter_start() { meter.loaded = monotonic_seconds(); }

__attribute__((destructor)) void meter_report()
{
    if (meter.frames == 0) {
        std::fprintf(stderr, "flip_meter: no frame was flipped\n");
        return;
    }
    const double span = meter.last_flip - meter.first_flip;
    const double main_cpu = meter.main_cpu_at_last - meter.main_cpu_at_first;
    const double process_cpu = meter.process_cpu_at_last - meter.process_cpu_at_first;
    std::fprintf(stderr,
                 "flip_meter: first frame %.1f ms, %ld frames in %.2f s, %.1f frames/s, "
                 "frame loop %.1f%% of a core, process %.1f%%\n",
                 (meter.first_flip - meter.loaded) * 1000, meter.frames, span,
                 span > 0 ? double(meter.frames - 1) / span : 0.0, span > 0 ? 100 * main_cpu / span : 0.0,
                 span > 0 ? 100 * process_cpu / span : 0.0);
}

}  // namespace

// Takes the place of the library's own SDL_Flip, which it then calls. The
// surface is only passed on, so no SDL header is needed.
extern "C" int SDL_Flip(void* surface)
{
    if (!meter.flip)
        meter.flip = reinterpret_cast<int (*)(void*)>(dlsym(RTLD_NEXT, "SDL_Flip"));
    const int result = meter.flip ? meter.flip(surface) : -1;
    // The programs flip on their main thread, so its thread time is the
    // frame loop's.
    meter.last_flip = monotonic_seconds();
    meter.main_cpu_at_last = cpu_seconds(RUSAGE_THREAD);
    meter.process_cpu_at_last = cpu_seconds(RUSAGE_SELF);
    if (meter.frames++ == 0) {
        meter.first_flip = meter.last_flip;
        meter.main_cpu_at_first = meter.main_cpu_at_last;
        meter.process_cpu_at_first = meter.process_cpu_at_last;
    }
    return result;
}
