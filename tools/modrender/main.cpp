// modrender [-o OUT.wav] [-s SECONDS] [--trace rows|ticks] FILE.mod
//
// Renders a module through the demo's own player and mixer at the demo's
// rate and, with -o, writes it as a 16-bit stereo WAV file: the wrapped
// 16-bit sums, exactly what the demo plays. Without -s it stops where the
// song ends, as other players find a song's length: at the first row it
// would play a second time (by running off the end of the order list or by
// jumping back; rows a pattern loop plays again don't count), or where the
// speed becomes 0 (F00), which the show's player holds for ever; -s SECONDS
// renders exactly that long, past either. 30 minutes at most in any case.
// Installed, it is kirmavo-modrender, and its messages and summary say so.
//
// Output (stdout, one line each):
//   --trace rows    row <frame> <order> <pattern> <row> <speed> <tempo>
//                   at the first tick of each row
//   --trace ticks   tick <frame> <order> <row> <tick> <period>/<volume>...
//                   at every tick, one period/volume pair per channel as last
//                   handed to its voice
//   frame is the index of the first output frame after that tick.
//
// Summary: one line, on stdout, or on stderr when tracing:
//   modrender: frames=<int> seconds=<%.3f> peak=<int> peak_dbfs=<%.2f|-inf>
//   wrapped=<int> speed=<%.1f>x end=<loop|stop|seconds|limit>
// peak is the largest absolute true sum of either channel (32768 = 0 dBFS;
// above it the demo's output wraps); wrapped counts the frames in which
// either channel's true sum left -32768..32767; speed is rendered time over
// the wall-clock time taken; end says what stopped it (loop, stop = speed 0,
// seconds = -s, limit = 30 minutes).
//
// Exit status: 0 rendered; 1 the file is unreadable (a directory included),
// is not a module the player takes, or the WAV could not be written; 2 bad
// arguments.
//
// Like the demo, it hands the player at most the first 1,000,000 bytes.
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sound/player/loader.h"
#include "sound/player/player_state.h"
#include "tools/modrender/render.h"
#include "tools/modrender/trace.h"
#include "tools/common/tool_identity.h"
#include "tools/common/wav_writer.h"

namespace {

constexpr size_t MODULE_BYTES = 1000000;  // the demo's module buffer
constexpr int64_t cap_frames = int64_t(30) * 60 * SAMPLE_RATE;

enum class Trace { none, rows, ticks };

struct Options {
    const char* wav = nullptr;
    const char* module = nullptr;
    int64_t max_frames = cap_frames;
    bool seconds_given = false;
    Trace trace = Trace::none;
    const char* name = "modrender";  // as run (argv[0] without folder), for messages
};

const char usage[] =
    "usage: modrender [-o OUT.wav] [-s SECONDS] [--trace rows|ticks] FILE.mod\n"
    "       modrender --help | --version\n"
    "\n"
    "Renders FILE.mod through the demo's player and mixer (44100 Hz, 16-bit\n"
    "stereo, wrapped sums as the demo plays them) up to the first row the song\n"
    "would play again (pattern loops aside) or the row that sets speed 0, or for\n"
    "SECONDS; 30 minutes at most.\n"
    "  -o OUT.wav       write the sound as a WAV file (nothing is written without)\n"
    "  -s SECONDS       render this long, past the song's end too (decimals allowed)\n"
    "  --trace rows     on stdout, per row:  row <frame> <order> <pattern> <row> <speed> <tempo>\n"
    "  --trace ticks    on stdout, per tick: tick <frame> <order> <row> <tick> then\n"
    "                   <period>/<volume> per channel as last handed to its voice\n"
    "                   (frame = index of the first output frame after that tick)\n"
    "\n"
    "Summary line, on stdout (on stderr when tracing):\n"
    "  modrender: frames=N seconds=S peak=P peak_dbfs=D wrapped=W speed=Xx\n"
    "             end=loop|stop|seconds|limit\n"
    "  peak: largest absolute true channel sum (32768 = 0 dBFS); wrapped: frames in\n"
    "  which a channel's true sum left the 16-bit range and wrapped.\n"
    "Exit status: 0 done, 1 unreadable or refused file or failed write, 2 bad arguments.\n";

bool parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool has_value = i + 1 < argc;
        if (a == "-o" && has_value) {
            o.wav = argv[++i];
        } else if (a == "-s" && has_value) {
            char* end = nullptr;
            const double s = std::strtod(argv[++i], &end);
            if (end == argv[i] || *end != '\0' || !(s >= 0))
                return false;
            o.seconds_given = true;
            const double frames = std::floor(s * SAMPLE_RATE);
            o.max_frames = frames < double(cap_frames) ? int64_t(frames) : cap_frames;
        } else if (a == "--trace" && has_value) {
            const std::string t = argv[++i];
            if (t == "rows")
                o.trace = Trace::rows;
            else if (t == "ticks")
                o.trace = Trace::ticks;
            else
                return false;
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            return false;
        } else if (!o.module) {
            o.module = argv[i];
        } else {
            return false;
        }
    }
    return o.module != nullptr;
}

// Reads the module, at most the first MODULE_BYTES of it; false (with the
// message printed) when it cannot be read.
bool read_module(const char* name, const char* path, std::vector<uint8_t>& image)
{
    // A directory opens, and fails at the first read.
    std::FILE* f = std::fopen(path, "rb");
    int error = f ? 0 : errno;
    if (f) {
        // One byte more than is used tells a longer file from one that fits.
        image.resize(MODULE_BYTES + 1);
        image.resize(std::fread(image.data(), 1, image.size(), f));
        if (std::ferror(f))
            error = errno != 0 ? errno : EIO;
        std::fclose(f);
    }
    if (error != 0) {
        std::fprintf(stderr, "%s: %s: cannot read the file: %s\n", name, path, std::strerror(error));
        return false;
    }
    if (image.size() > MODULE_BYTES) {
        std::fprintf(stderr, "%s: %s: only the first %zu bytes are used, as in the demo\n", name, path,
                     MODULE_BYTES);
        image.resize(MODULE_BYTES);
    }
    return true;
}

// What each rendered tick and stretch of sound is handed to.
RenderHooks make_hooks(const Options& opt, WavWriter& wav)
{
    RenderHooks hooks;
    if (opt.trace == Trace::rows) {
        hooks.tick = [](int64_t frame, bool row_start) {
            if (row_start)
                trace_row(stdout, frame, pt_state());
        };
    } else if (opt.trace == Trace::ticks) {
        voice_tap_install();
        hooks.tick = [](int64_t frame, bool) { trace_tick(stdout, frame, pt_state()); };
    }
    if (opt.wav)
        hooks.audio = [&wav](const int16_t* frames, int32_t n) { wav_write(wav, frames, n); };
    return hooks;
}

void print_summary(std::FILE* out, const RenderResult& r, const Options& opt, double wall)
{
    const double seconds = double(r.frames) / SAMPLE_RATE;
    const double dbfs = levels_dbfs(r.levels.peak);
    char peak_dbfs[32];
    if (std::isinf(dbfs))
        std::snprintf(peak_dbfs, sizeof peak_dbfs, "-inf");
    else
        std::snprintf(peak_dbfs, sizeof peak_dbfs, "%.2f", dbfs);
    const char* end = r.end == RenderEnd::loop   ? "loop"
                      : r.end == RenderEnd::stop ? "stop"
                      : (opt.seconds_given && r.frames == opt.max_frames && opt.max_frames < cap_frames)
                          ? "seconds"
                          : "limit";
    std::fprintf(out, "%s: frames=%lld seconds=%.3f peak=%lld peak_dbfs=%s wrapped=%lld speed=%.1fx end=%s\n",
                 opt.name, static_cast<long long>(r.frames), seconds, static_cast<long long>(r.levels.peak),
                 peak_dbfs, static_cast<long long>(r.levels.wrapped_frames), wall > 0 ? seconds / wall : 0.0,
                 end);
    std::fflush(out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(usage, stdout);
        return 0;
    }
    Options opt;
    opt.name = tool_name(argc > 0 ? argv[0] : nullptr, opt.name);
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        tool_print_version(opt.name);
        return 0;
    }
    if (!parse(argc, argv, opt)) {
        std::fputs(usage, stderr);
        return 2;
    }

    std::vector<uint8_t> image;
    if (!read_module(opt.name, opt.module, image))
        return 1;
    // The player keeps pointing into the image: it lives until the end.
    if (!render_open(image.data(), image.size())) {
        const char* why = pt_last_error();
        std::fprintf(stderr, "%s: %s: not a module the player takes: %s\n", opt.name, opt.module,
                     why ? why : "refused");
        return 1;
    }
    WavWriter wav;
    if (opt.wav && !wav_open(wav, opt.wav, SAMPLE_RATE)) {
        std::fprintf(stderr, "%s: %s: cannot create the file\n", opt.name, opt.wav);
        return 1;
    }

    static char stdout_buffer[1 << 16];
    std::setvbuf(stdout, stdout_buffer, _IOFBF, sizeof stdout_buffer);
    const RenderHooks hooks = make_hooks(opt, wav);
    const auto started = std::chrono::steady_clock::now();
    const RenderResult r = render_run(
        opt.max_frames, hooks, opt.seconds_given ? RenderStop::at_max_frames : RenderStop::at_song_end);
    bool ok = true;
    if (opt.wav && !wav_close(wav)) {
        std::fprintf(stderr, "%s: %s: write failed\n", opt.name, opt.wav);
        ok = false;
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::fflush(stdout);
    print_summary(opt.trace == Trace::none ? stdout : stderr, r, opt, wall);
    return ok ? 0 : 1;
}
