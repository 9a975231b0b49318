#include "tools/capture/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

const char CAPTURE_USAGE[] = "usage: capture [--fps N] [--frames DIR] [--wav OUT.wav] [--video OUT.mp4]\n"
                             "               [--at MS[,MS...]] [--from MS] [--to MS] [--double]\n"
                             "\n"
                             "Plays the show on a virtual clock, frame-exact, with no window and no sound\n"
                             "device, from data/ in the working directory. The clock reads 0 when playback\n"
                             "starts; frame k is drawn at k * 1000 / N ms (default N = 60).\n"
                             "  --frames DIR    write DIR/frame_NNNNNN.png (N = frame number), 8-bit RGB\n"
                             "  --wav OUT.wav   write the soundtrack, 16-bit stereo at 44100 Hz\n"
                             "  --video OUT.mp4 h.264 scaled to 1280x960 (nearest neighbour) with AAC\n"
                             "                  sound, through ffmpeg\n"
                             "  --at MS,...     write only the first frame at or after each time\n"
                             "  --from/--to MS  write only the frames in this range of times\n"
                             "  --double        write demo2x's 640x480 image\n"
                             "It stops after the first frame past position 1362, as the demo does, or\n"
                             "after 10 virtual minutes if the music never gets there. Every frame is drawn\n"
                             "whatever is written, so the output is the same as in a full run.\n"
                             "Exit status: 0 done, 1 data/ unusable or an output failed, 2 bad arguments.\n";

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
    std::string rest = text;
    size_t start = 0;
    for (;;) {
        const size_t comma = rest.find(',', start);
        const std::string item =
            rest.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        int64_t v = 0;
        if (!parse_ms(item.c_str(), v))
            return false;
        values.push_back(v);
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

}  // namespace

bool capture_parse(int argc, char** argv, CaptureOptions& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--double") {
            o.doubled = true;
            continue;
        }
        if (!value)
            return false;
        ++i;
        if (a == "--fps") {
            int64_t fps = 0;
            if (!parse_ms(value, fps) || fps < 1 || fps > 1000)
                return false;
            o.fps = int32_t(fps);
        } else if (a == "--frames") {
            o.frames_dir = value;
        } else if (a == "--wav") {
            o.wav = value;
        } else if (a == "--video") {
            o.video = value;
        } else if (a == "--at") {
            if (!parse_list(value, o.at))
                return false;
        } else if (a == "--from") {
            if (!parse_ms(value, o.from))
                return false;
        } else if (a == "--to") {
            if (!parse_ms(value, o.to))
                return false;
        } else {
            return false;
        }
    }
    return o.from <= o.to;
}
