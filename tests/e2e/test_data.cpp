#include "tests/e2e/test_data.h"

#include "tools/common/png_write.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace {

void put_be32(std::ofstream& out, int32_t value)
{
    const uint32_t v = uint32_t(value);
    const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.write(bytes, 4);
}

// A tetrahedron one unit across.
void write_mesh(const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    const int32_t one = 65536;
    const int32_t vertices[4][3] = {{one, one, one}, {-one, -one, one}, {-one, one, -one}, {one, -one, -one}};
    const int32_t triangles[4][3] = {{0, 1, 2}, {0, 3, 1}, {0, 2, 3}, {1, 3, 2}};
    put_be32(out, 4);
    for (const auto& v : vertices)
        for (int32_t c : v)
            put_be32(out, c);
    put_be32(out, 4);
    for (const auto& t : triangles)
        for (int32_t i : t)
            put_be32(out, i);
}

struct Cell {
    int sample = 0, period = 0, command = 0, parameter = 0;
};

void put_cell(std::vector<char>& image, int pattern, int row, int channel, Cell cell)
{
    const size_t at = 1084 + size_t(pattern) * 1024 + size_t(row) * 16 + size_t(channel) * 4;
    image[at + 0] = char((cell.sample & 0xF0) | (cell.period >> 8));
    image[at + 1] = char(cell.period & 0xFF);
    image[at + 2] = char((cell.sample & 0x0F) << 4 | cell.command);
    image[at + 3] = char(cell.parameter);
}

// A four-channel "M.K." module, as a tracker saves it.
void write_module(const std::string& path, TestSong song)
{
    const int patterns = song == TestSong::quick ? 3 : 1;
    const int sample_bytes = 64;
    std::vector<char> image(1084 + size_t(patterns) * 1024, 0);
    const char title[] = "test";
    std::copy(title, title + 4, image.begin());
    image[950] = 14;  // song length
    image[951] = 0;   // restart
    if (song == TestSong::quick) {
        // Sample 1: 64 bytes of square wave, looped whole, volume 48.
        char* header = &image[20];
        header[22] = 0;
        header[23] = sample_bytes / 2;  // length in words
        header[25] = 48;
        header[28] = 0;
        header[29] = sample_bytes / 2;  // loop length in words
        // Entry 0 plays pattern 0, 1..12 pattern 1, 13 pattern 2.
        for (int order = 1; order < 13; order++)
            image[952 + size_t(order)] = 1;
        image[952 + 13] = 2;
        put_cell(image, 0, 0, 0, {0, 0, 0xF, 1});    // speed 1
        put_cell(image, 0, 0, 1, {0, 0, 0xF, 255});  // tempo 255
        for (int pattern = 0; pattern < 2; pattern++)
            put_cell(image, pattern, 0, 2, {0, 0, 0xD, 0});  // on to the next entry
        put_cell(image, 2, 0, 3, {1, 428, 0, 0});
    }
    image[1080] = 'M';
    image[1081] = '.';
    image[1082] = 'K';
    image[1083] = '.';
    if (song == TestSong::quick)
        for (int i = 0; i < sample_bytes; i++)
            image.push_back(char(i % 16 < 8 ? 100 : -100));
    std::ofstream(path, std::ios::binary).write(image.data(), std::streamsize(image.size()));
}

}  // namespace

std::pair<int, int> test_picture_size(int file)
{
    if (file == 0)
        return {352, 272};
    if (file == 1)
        return {354, 274};
    return {320, 240};
}

std::string test_make_dir()
{
    char name[] = "/tmp/kirmavo-e2e-XXXXXX";
    if (!mkdtemp(name))
        throw std::runtime_error("mkdtemp");
    return name;
}

void test_write_data(const std::string& dir, TestSong song)
{
    const std::string data = dir + "/data";
    std::filesystem::create_directories(data);
    for (int file = 0; file < 15; file++) {
        const auto [width, height] = test_picture_size(file);
        std::vector<uint32_t> pixels(size_t(width) * size_t(height));
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                pixels[size_t(y * width + x)] =
                    0xFF000000u | uint32_t(file * 17) << 16 | uint32_t(x & 0xFF) << 8 | uint32_t(y & 0xFF);
        char name[32];
        std::snprintf(name, sizeof name, "/pic%02d.png", file);
        if (!png_write_rgba((data + name).c_str(), width, height, pixels))
            throw std::runtime_error("png_write_rgba");
    }
    write_mesh(data + "/mesh.bare");
    write_module(data + "/music.mod", song);
}
