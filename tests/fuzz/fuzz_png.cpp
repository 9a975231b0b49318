// libFuzzer target: a picture file through the loader with its memory
// limits, then, if taken, through the conversion start-up applies.
// libpng itself is the system's and not instrumented: the fuzzer sees only
// the loader's own branches, and the seeds carry every colour type and depth.
#include "gfx/picture/picture.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <zlib.h>

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

// libpng refuses a critical chunk whose checksum is wrong, and the fuzzer
// can't see into libpng to learn checksums, so most of its changes would
// end there. Inputs of even length get every chunk's checksum set right
// before they are read; odd ones go in as they are.
void fix_checksums(std::vector<uint8_t>& bytes)
{
    size_t at = 8;  // after the signature
    while (at + 12 <= bytes.size()) {
        const uint32_t length = uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 |
                                uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
        if (length > bytes.size() - at - 12)
            return;
        const uint32_t crc = uint32_t(crc32(0, bytes.data() + at + 4, uInt(length + 4)));
        uint8_t* out = bytes.data() + at + 8 + length;
        out[0] = uint8_t(crc >> 24);
        out[1] = uint8_t(crc >> 16);
        out[2] = uint8_t(crc >> 8);
        out[3] = uint8_t(crc);
        at += 12 + length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> bytes(data, data + size);
    if (size % 2 == 0)
        fix_checksums(bytes);
    const char* path = picture_path();
    FILE* file = std::fopen(path, "wb");
    if (!file)
        std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);

    Picture pic;
    if (load_png_picture(path, &pic) == 0) {
        picture_to_argb(&pic);
        std::free(pic.pixels);
    }
    return 0;
}
