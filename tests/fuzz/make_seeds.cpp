// Writes the seed corpora of the fuzz targets, all made here or by the
// build: make_seeds DATA_DIR OUT_DIR fills OUT_DIR/module, OUT_DIR/png and
// OUT_DIR/mesh.
//   module: the show's module; small modules in memory for every signature
//           and every effect command; a module cut at every region boundary
//           (header, sample headers, song length, restart, order list,
//           signature, each pattern, each sample) and the show's module cut
//           at its header and pattern boundaries
//   png:    the show's pictures, a small picture of every colour type and
//           bit depth with a compressed text chunk, 1x1 RGBA and RGB
//           pictures, and a picture whose text chunk claims 1.5 GB
//   mesh:   the show's mesh, a tetrahedron, an empty file, the largest
//           vertex count that fits and an index past the vertex list
#include "tests/player/test_module.h"
#include "tests/support/test_files.h"
#include "tools/common/png_write.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

void put(const fs::path& path, const Bytes& bytes) { write_file(path.string(), bytes); }

void put_be32(Bytes& out, int32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(uint32_t(value) >> shift));
}

void cuts(const fs::path& dir, const std::string& stem, const Bytes& module, std::vector<size_t> at)
{
    at.push_back(module.size() - 1);
    for (size_t n : at)
        if (n < module.size())
            put(dir / (stem + "_cut_" + std::to_string(n) + ".mod"),
                Bytes(module.begin(), module.begin() + long(n)));
}

void modules(const fs::path& data, const fs::path& dir)
{
    const Bytes show = read_file((data / "music.mod").string());
    put(dir / "show.mod", show);

    const char* signatures[] = {"2CHN", "4CHN", "M.K.", "M!K!", "FLT4", "FLT8", "OCTA", "6CHN",
                                "8CHN", "10CH", "12CH", "14CH", "16CH", "18CH", "20CH", "22CH",
                                "24CH", "26CH", "28CH", "30CH", "32CH", "STOP"};
    const int channels[] = {2, 4, 4, 4, 4, 8, 8, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30, 32, 4};
    for (size_t i = 0; i < std::size(signatures); i++) {
        ModBuilder m(channels[i], signatures[i]);
        m.sample(1, 32, 64, 0, 0, 32).song({0, 1}).note(0, 0, 0, 1, 36).note(1, 8, channels[i] - 1, 1, 48);
        put(dir / ("signature_" + std::to_string(i) + ".mod"), m.build());
    }

    // Each command with a low and a high parameter on a playing note, and
    // each extended command E0..EF.
    for (int command = 0; command < 16; command++) {
        for (int param : {0x01, 0x3F, 0xF2}) {
            ModBuilder m;
            m.sample(1, 64, 48, 3, 8, 24).sample(2, 16).song({0, 1, 0}, 3, 1);
            m.note(0, 0, 0, 1, 30).fx(0, 1, 0, command, param).fx(0, 2, 0, command, param);
            m.note(0, 4, 1, 2, 60, command, param).note(1, 0, 2, 1, 12, command, param);
            char name[32];
            std::snprintf(name, sizeof name, "effect_%X_%02X.mod", command, param);
            put(dir / name, m.build());
        }
    }
    for (int sub = 0; sub < 16; sub++) {
        ModBuilder m;
        m.sample(1, 64, 48, 0, 0, 32).song({0, 0, 1});
        for (int row = 0; row < 8; row++)
            m.note(0, row, 0, 1, 24 + row, 0xE, sub << 4 | (row & 3));
        char name[32];
        std::snprintf(name, sizeof name, "effect_E%X.mod", sub);
        put(dir / name, m.build());
    }

    // Every region of a small module, and the show's header and patterns.
    ModBuilder small;
    small.sample(1, 40).sample(2, 0).sample(3, 24, 64, 0, 4, 8).song({0, 2, 1});
    small.note(0, 0, 0, 1, 30).note(2, 63, 3, 3, 40, 0xB, 0);
    const Bytes built = small.build();
    std::vector<size_t> at = {0, 20, 50, 950, 951, 952, 1080, 1082, 1084};
    for (size_t k = 1; k <= 3; k++)
        at.push_back(1084 + k * 1024);
    at.push_back(1084 + 3 * 1024 + 80);
    cuts(dir, "small", built, at);
    at = {20, 950, 952, 1080, 1084};
    for (size_t k = 1; 1084 + k * 1024 < show.size() && k <= 64; k++)
        at.push_back(1084 + k * 1024);
    cuts(dir, "show", show, at);
}

// A small picture of any colour type and bit depth libpng allows, rows of
// a ramp; palette pictures get a 16-entry palette.
void write_png(const fs::path& path, int colour_type, int depth, int width, int height)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), depth, colour_type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (colour_type == PNG_COLOR_TYPE_PALETTE) {
        png_color palette[16];
        for (int i = 0; i < 16; i++)
            palette[i] = {png_byte(i * 16), png_byte(255 - i * 16), png_byte(i * 5)};
        png_set_PLTE(png, info, palette, 1 << std::min(depth, 4));
    }
    png_text text = {};
    text.compression = PNG_TEXT_COMPRESSION_zTXt;
    text.key = const_cast<char*>("Comment");
    text.text = const_cast<char*>("seed");
    png_set_text(png, info, &text, 1);
    png_write_info(png, info);
    std::vector<png_byte> row(png_get_rowbytes(png, info));
    for (int y = 0; y < height; y++) {
        for (size_t x = 0; x < row.size(); x++)
            row[x] = png_byte(colour_type == PNG_COLOR_TYPE_PALETTE && depth == 8 ? (x + size_t(y)) % 16
                                                                                  : x * 37 + size_t(y));
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

void pictures(const fs::path& data, const fs::path& dir)
{
    struct Format {
        int colour_type;
        std::vector<int> depths;
    };
    for (const Format& f :
         {Format{PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}}, Format{PNG_COLOR_TYPE_RGB, {8, 16}},
          Format{PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}}, Format{PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}},
          Format{PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}}})
        for (int depth : f.depths)
            write_png(
                dir / ("type" + std::to_string(f.colour_type) + "_depth" + std::to_string(depth) + ".png"),
                f.colour_type, depth, 7, 5);

    for (int i = 0; i < 15; i++) {
        char name[16];
        std::snprintf(name, sizeof name, "pic%02d.png", i);
        fs::copy_file(data / name, dir / name, fs::copy_options::overwrite_existing);
    }
    const std::vector<uint32_t> one = {0x80112233u};
    png_write_rgba((dir / "one_rgba.png").c_str(), 1, 1, one);
    png_write_rgb((dir / "one_rgb.png").c_str(), 1, 1, one);
    Bytes hostile = read_file((dir / "one_rgba.png").string());
    hostile.resize(33);  // signature and header
    put_be32(hostile, 1500000000);
    for (char c : std::string("tEXtComment") + '\0' + std::string(19, 'x'))
        hostile.push_back(uint8_t(c));
    put(dir / "hostile_text.png", hostile);
}

void meshes(const fs::path& data, const fs::path& dir)
{
    fs::copy_file(data / "mesh.bare", dir / "show.bare", fs::copy_options::overwrite_existing);
    put(dir / "empty.bare", {});
    const int32_t one = 65536;
    Bytes tetra;
    put_be32(tetra, 4);
    for (int32_t c : {one, one, one, -one, -one, one, -one, one, -one, one, -one, -one})
        put_be32(tetra, c);
    put_be32(tetra, 4);
    for (int32_t i : {0, 1, 2, 0, 3, 1, 0, 2, 3, 1, 3, 2})
        put_be32(tetra, i);
    put(dir / "tetrahedron.bare", tetra);
    Bytes past = tetra;
    past[past.size() - 1] = 4;  // names vertex 4 of 4
    put(dir / "index_past.bare", past);
    Bytes largest;
    put_be32(largest, 832);
    for (int i = 0; i < 832 * 3; i++)
        put_be32(largest, (i * 7919) % (40 * one) - 20 * one);
    put_be32(largest, 0);
    put(dir / "largest.bare", largest);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_seeds DATA_DIR OUT_DIR\n");
        return 2;
    }
    const fs::path data = argv[1], out = argv[2];
    for (const char* sub : {"module", "png", "mesh"})
        fs::create_directories(out / sub);
    modules(data, out / "module");
    pictures(data, out / "png");
    meshes(data, out / "mesh");
    return 0;
}
