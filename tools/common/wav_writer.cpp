#include "tools/common/wav_writer.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

namespace {

constexpr int32_t HEADER_BYTES = 44;

void put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

void put16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

// The RIFF sizes are 32-bit: a longer file keeps the largest they can say.
// A stream's header says the largest in both.
void header(uint8_t* h, int32_t rate, int64_t frames, bool streaming)
{
    const int64_t data = frames * 4;
    const uint32_t data_bytes = data > 0xFFFFFFFFll - 36 ? uint32_t(0xFFFFFFFFll - 36) : uint32_t(data);
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, streaming ? 0xFFFFFFFFu : 36 + data_bytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);  // fmt chunk size
    put16(h + 20, 1);   // PCM
    put16(h + 22, 2);   // channels
    put32(h + 24, uint32_t(rate));
    put32(h + 28, uint32_t(rate) * 4);  // bytes per second
    put16(h + 32, 4);                   // bytes per frame
    put16(h + 34, 16);                  // bits per sample
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, streaming ? 0xFFFFFFFFu : data_bytes);
}

void fail(WavWriter& w)
{
    if (!w.failed)
        w.error = errno;
    w.failed = true;
}

// A big-endian host turns the samples a block at a time.
bool write_little_endian(std::FILE* file, const int16_t* samples, size_t count)
{
    if constexpr (std::endian::native == std::endian::little)
        return std::fwrite(samples, 2, count, file) == count;
    uint8_t block[4096];
    for (size_t done = 0; done < count;) {
        const size_t part = std::min(count - done, sizeof block / 2);
        for (size_t i = 0; i < part; i++)
            put16(block + 2 * i, uint16_t(samples[done + i]));
        if (std::fwrite(block, 2, part, file) != part)
            return false;
        done += part;
    }
    return true;
}

}  // namespace

bool wav_open(WavWriter& w, const char* path, int32_t rate)
{
    w = WavWriter{};
    w.file = std::fopen(path, "wb");
    if (!w.file)
        return false;
    w.rate = rate;
    w.streaming = std::fseek(w.file, 0, SEEK_SET) != 0;
    uint8_t h[HEADER_BYTES];
    header(h, rate, 0, w.streaming);
    if (std::fwrite(h, 1, HEADER_BYTES, w.file) != HEADER_BYTES)
        fail(w);
    return true;
}

void wav_write(WavWriter& w, const int16_t* frames, int32_t n)
{
    if (!w.file || n <= 0)
        return;
    if (!write_little_endian(w.file, frames, 2 * size_t(n)))
        fail(w);
    w.frames += n;
}

bool wav_close(WavWriter& w)
{
    if (!w.file)
        return false;
    uint8_t h[HEADER_BYTES];
    header(h, w.rate, w.frames, false);
    if (!w.streaming &&
        (std::fseek(w.file, 0, SEEK_SET) != 0 || std::fwrite(h, 1, HEADER_BYTES, w.file) != HEADER_BYTES))
        fail(w);
    if (std::fclose(w.file) != 0)
        fail(w);
    w.file = nullptr;
    return !w.failed;
}
