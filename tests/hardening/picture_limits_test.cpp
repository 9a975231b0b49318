// What a hostile picture can make the loader allocate: every case runs in a
// child process whose peak memory is measured against an empty child's, so
// a refusal that came only after taking the memory still fails.
#include "gfx/picture/picture.h"
#include "tests/support/test_files.h"
#include "tools/common/png_write.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void put_be32(Bytes& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(v >> shift));
}

// One chunk; `claimed` replaces the true length in its header when set.
Bytes chunk(const char* type, const Bytes& data, int64_t claimed = -1)
{
    Bytes out;
    put_be32(out, uint32_t(claimed >= 0 ? claimed : int64_t(data.size())));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    put_be32(out, uint32_t(crc32(0, body.data(), uInt(body.size()))));
    return out;
}

const Bytes SIGNATURE = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

Bytes ihdr(uint32_t width, uint32_t height)
{
    Bytes data;
    put_be32(data, width);
    put_be32(data, height);
    data.insert(data.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA
    return chunk("IHDR", data);
}

class PictureLimits : public testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/kirmavo-picture-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string write(const Bytes& bytes)
    {
        const std::string path = dir_ + "/p.png";
        write_file(path, bytes);
        return path;
    }

    // A valid 320x240 picture as the show's files are written.
    Bytes good_picture()
    {
        const std::string path = dir_ + "/good.png";
        EXPECT_TRUE(png_write_rgba(path.c_str(), 320, 240, std::vector<uint32_t>(320 * 240, 0xFF336699u)));
        return read_file(path);
    }

    struct Outcome {
        int result;     // load_png_picture's
        long extra_kb;  // peak memory beyond an idle child's
    };

    // Loads `path` in a child process.
    static Outcome load_in_child(const std::string& path)
    {
        const long idle = peak_kb(nullptr);
        int result = 0;
        const long peak = peak_kb(&path, &result);
        return {result, peak - idle};
    }

    static long peak_kb(const std::string* path, int* result = nullptr)
    {
        const pid_t pid = fork();
        if (pid == 0) {
            Picture pic;
            _exit(path && load_png_picture(path->c_str(), &pic) != 0 ? 1 : 0);
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        if (result)
            *result = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : -1;
        return usage.ru_maxrss;
    }

    std::string dir_;
};

TEST_F(PictureLimits, ATextChunkClaimingGigabytesIsRefusedInAFewMegabytes)
{
    // 68 bytes: the header of a 320x240 picture, then a text chunk whose
    // length field says 1.5 GB and whose data stops after 27 bytes.
    Bytes file = SIGNATURE;
    const Bytes header = ihdr(320, 240);
    file.insert(file.end(), header.begin(), header.end());
    put_be32(file, 1500000000u);
    for (char c : std::string("tEXtComment") + '\0' + std::string(19, 'x'))
        file.push_back(uint8_t(c));
    ASSERT_EQ(file.size(), 68u);
    const Outcome out = load_in_child(write(file));
    EXPECT_EQ(out.result, -1);
    EXPECT_LT(out.extra_kb, 4096);
}

TEST_F(PictureLimits, ChunksThatInflateWithoutEndStayWithinTheBudget)
{
    // 200 compressed text chunks of 4 MB of zeros each (4 KB in the file),
    // ahead of the picture's own data: 800 MB if every one were kept.
    Bytes text = {'C', 0, 0};
    Bytes zeros(4 << 20, 0), packed(compressBound(uLong(zeros.size())));
    uLongf packed_size = uLongf(packed.size());
    ASSERT_EQ(compress(packed.data(), &packed_size, zeros.data(), uLong(zeros.size())), Z_OK);
    text.insert(text.end(), packed.begin(), packed.begin() + long(packed_size));
    const Bytes bomb = chunk("zTXt", text);

    const Bytes good = good_picture();
    Bytes file(good.begin(), good.begin() + 33);  // signature and header
    for (int i = 0; i < 200; i++)
        file.insert(file.end(), bomb.begin(), bomb.end());
    file.insert(file.end(), good.begin() + 33, good.end());
    const Outcome out = load_in_child(write(file));
    // The picture itself is sound; only the text is dropped.
    EXPECT_EQ(out.result, 0);
    EXPECT_LT(out.extra_kb, 24 * 1024);
}

TEST_F(PictureLimits, SidesUpTo1024Load)
{
    const std::string path = dir_ + "/big.png";
    ASSERT_TRUE(png_write_rgba(path.c_str(), 1024, 1024, std::vector<uint32_t>(1024 * 1024, 0xFF010203u)));
    Picture pic;
    ASSERT_EQ(load_png_picture(path.c_str(), &pic), 0);
    picture_to_argb(&pic);
    EXPECT_EQ(pic.argb()[1024 * 1024 - 1], 0xFF010203u);
    std::free(pic.pixels);
}

TEST_F(PictureLimits, LongerSidesAreRefusedBeforeTheirRowsAreTaken)
{
    // Sound pictures one pixel past the limit.
    for (auto [width, height] : {std::pair{1025, 1}, {1, 1025}}) {
        const std::string path = dir_ + "/long.png";
        ASSERT_TRUE(png_write_rgba(path.c_str(), width, height, std::vector<uint32_t>(1025, 0xFF000000u)));
        Picture pic;
        EXPECT_EQ(load_png_picture(path.c_str(), &pic), -1) << width << "x" << height;
    }
    // A header claiming 2^31 - 1 a side, with scraps of data after it.
    Bytes file = SIGNATURE;
    const Bytes header = ihdr(0x7FFFFFFFu, 0x7FFFFFFFu);
    file.insert(file.end(), header.begin(), header.end());
    const Bytes idat = chunk("IDAT", Bytes(64, 0));
    file.insert(file.end(), idat.begin(), idat.end());
    const Outcome out = load_in_child(write(file));
    EXPECT_EQ(out.result, -1);
    EXPECT_LT(out.extra_kb, 4096);
}

}  // namespace
