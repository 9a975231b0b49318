// capture: the show rendered offline, frame-exact, to pictures, a soundtrack
// or a video. Run it in a directory that holds data/; see CAPTURE_USAGE.
#include "tools/capture/capture.h"
#include "tools/capture/options.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(CAPTURE_USAGE, stdout);
        return 0;
    }
    CaptureOptions options;
    const std::string refused = capture_parse(argc, argv, options);
    if (!refused.empty()) {
        std::fprintf(stderr, "capture: %s\n(capture --help tells the options)\n", refused.c_str());
        return 2;
    }
    return capture_run(options);
}
