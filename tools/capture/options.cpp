#include "tools/capture/options.h"

#include "tools/common/tool_identity.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

const char CAPTURE_USAGE[] =
    "usage: capture [--fps N] [--frames DIR] [--wav OUT.wav] [--video OUT.mp4]\n"
    "               [--at MS[,MS...]] [--from MS] [--to MS] [--double]\n"
    "       capture --help | --version\n"
    "\n"
    "Plays the show on a virtual clock, frame-exact, with no window and no sound\n"
    "device, from data/ in the working directory (installed, from its installed\n"
    "data folder). The clock reads 0 when playback starts; frame k is drawn at\n"
    "k * 1000 / N ms (N from 1 to 1000, default 60).\n"
    "  --frames DIR    write DIR/frame_NNNNNN.png (N = frame number), 8-bit RGB\n"
    "  --wav OUT.wav   write the soundtrack, 16-bit stereo at 44100 Hz; to a pipe\n"
    "                  or a terminal with the streaming header (both sizes\n"
    "                  0xFFFFFFFF, as the length can't be written back)\n"
    "  --video OUT.mp4 h.264 scaled to 1280x960 (nearest neighbour) with AAC\n"
    "                  sound, through ffmpeg\n"
    "  --at MS,...     write only the first frame at or after each time (frames\n"
    "                  only: not with --wav or --video)\n"
    "  --from/--to MS  write only the frames in this range of times, and only the\n"
    "                  sound under them (the WAV ends with the last 4096-frame\n"
    "                  buffer of sound made, at most 93 ms past the last frame)\n"
    "  --double        write demo2x's 640x480 image\n"
    "It stops after the first frame past position 1362, as the demo does, or\n"
    "after 10 virtual minutes if the music never gets there. Every frame is drawn\n"
    "whatever is written, so the output is the same as in a full run.\n"
    "Each file is written under a temporary name beside it and renamed when\n"
    "complete. SIGINT or SIGTERM ends the run after the current frame; what was\n"
    "made is finished and kept, and the status is 130 or 143.\n"
    "Exit status: 0 done, 1 data/ unusable, an output failed or an --at time\n"
    "never reached, 2 bad arguments.\n";

namespace {

bool parse_ms(const char* text, int64_t& value)
{
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || v < 0)
        return false;
    value = v;
    return true;
}

bool parse_list(const char* text, std::vector<int64_t>& values)
{
    const std::string all = text;
    size_t start = 0;
    for (;;) {
        const size_t comma = all.find(',', start);
        const std::string item = all.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        int64_t v = 0;
        if (!parse_ms(item.c_str(), v))
            return false;
        values.push_back(v);
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

// Why the options taken together can't be run, or "".
std::string check(const CaptureOptions& o)
{
    if (o.from > o.to)
        return "--from is later than --to";
    if (!o.at.empty() && (o.wav || o.video))
        return "--at picks single frames, which have no soundtrack: it can't go with --wav or --video";
    return "";
}

}  // namespace

std::string capture_parse(int argc, const char* const* argv, CaptureOptions& o)
{
    o.name = tool_name(argc > 0 ? argv[0] : nullptr, o.name);
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--double") {
            o.doubled = true;
            continue;
        }
        const bool known = a == "--fps" || a == "--frames" || a == "--wav" || a == "--video" || a == "--at" ||
                           a == "--from" || a == "--to";
        if (!known)
            return "unknown argument " + a;
        if (i + 1 >= argc)
            return a + " needs a value";
        const char* value = argv[++i];
        int64_t ms = 0;
        if (a == "--fps") {
            if (!parse_ms(value, ms) || ms < 1 || ms > CAPTURE_FPS_LIMIT)
                return "--fps " + std::string(value) + ": a whole number of frames a second from 1 to " +
                       std::to_string(CAPTURE_FPS_LIMIT) + " (the clock counts whole milliseconds)";
            o.fps = int32_t(ms);
        } else if (a == "--frames") {
            o.frames_dir = value;
        } else if (a == "--wav") {
            o.wav = value;
        } else if (a == "--video") {
            o.video = value;
        } else if (a == "--at") {
            if (!parse_list(value, o.at))
                return "--at " + std::string(value) + ": times in ms, whole numbers 0 or more, split by commas";
        } else if (!parse_ms(value, ms)) {
            return a + " " + value + ": a time in ms, a whole number 0 or more";
        } else {
            (a == "--from" ? o.from : o.to) = ms;
        }
    }
    std::sort(o.at.begin(), o.at.end());
    return check(o);
}
