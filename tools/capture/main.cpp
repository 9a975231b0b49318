// capture: the show rendered offline, frame-exact, to pictures, a soundtrack
// or a video. Run it in a directory that holds data/; see CAPTURE_USAGE.
// Installed, it is kirmavo-capture, and says so in its messages.
#include "tools/capture/capture.h"
#include "tools/capture/options.h"
#include "tools/common/tool_identity.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(CAPTURE_USAGE, stdout);
        return 0;
    }
    CaptureOptions options;
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        tool_print_version(tool_name(argv[0], options.name));
        return 0;
    }
    const std::string refused = capture_parse(argc, argv, options);
    if (!refused.empty()) {
        std::fprintf(stderr, "%s: %s\n(%s --help tells the options)\n", options.name, refused.c_str(),
                     options.name);
        return 2;
    }
    return capture_run(options);
}
