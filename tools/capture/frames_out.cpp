#include "tools/capture/frames_out.h"

#include "tools/capture/output_file.h"
#include "tools/common/png_write.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

std::string frames_open(FramesOut& f, const char* dir, int width, int height)
{
    f.dir = dir;
    f.width = width;
    f.height = height;
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error)
        return "cannot make the folder: " + error.message();
    return "";
}

std::string frames_write(FramesOut& f, int64_t k, std::span<const uint32_t> pixels)
{
    char name[32];
    std::snprintf(name, sizeof name, "/frame_%06lld.png", static_cast<long long>(k));
    OutputFile out;
    std::string why = output_begin(out, f.dir + name);
    if (why.empty()) {
        errno = 0;
        if (!png_write_rgb(out.writing.c_str(), f.width, f.height, pixels)) {
            why = errno ? std::strerror(errno) : "cannot write the picture";
            output_discard(out);
        } else {
            why = output_commit(out);
        }
    }
    if (!why.empty())
        f.failed = out.path;
    return why;
}
