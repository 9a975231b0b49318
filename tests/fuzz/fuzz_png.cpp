// libFuzzer target: a picture file through the loader with its memory
// limits, then, if taken, through the conversion start-up applies.
#include "gfx/picture/picture.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// The loader reads a path; an in-memory file gives it one without a disk.
const char* picture_path()
{
    static char path[64];
    if (!path[0]) {
        const int fd = memfd_create("picture", 0);
        if (fd < 0)
            std::abort();
        std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    }
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* path = picture_path();
    FILE* file = std::fopen(path, "wb");
    if (!file)
        std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    Picture pic;
    if (load_png_picture(path, &pic) == 0) {
        picture_to_argb(&pic);
        std::free(pic.pixels);
    }
    return 0;
}
