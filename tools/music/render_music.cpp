// render_music IN.mod OUT.wav [ORDERS]: plays the module through our player
// and mixer into a 16-bit stereo WAV (ORDERS entries, default 14) and
// reports the peak, the wrapped frames and the row timeline's end.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "our_render.h"

namespace {

void put32(std::ofstream& f, uint32_t v) {
    for (int i = 0; i < 4; ++i) f.put(char(v >> (8 * i)));
}
void put16(std::ofstream& f, uint16_t v) {
    f.put(char(v));
    f.put(char(v >> 8));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: render_music IN.mod OUT.wav [ORDERS]\n");
        return 2;
    }
    int orders = argc > 3 ? std::atoi(argv[3]) : 14;
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> image(std::istreambuf_iterator<char>(in), {});
    Rendering full = render_ours(image, orders, 64);
    Rendering half = render_ours(image, orders, 32);
    if (!full.loaded) {
        std::fprintf(stderr, "render_music: our loader refused %s\n", argv[1]);
        return 1;
    }
    int peak = 0;
    for (int16_t s : full.samples) peak = std::max(peak, std::abs(int(s)));
    long wraps = count_wraps(full, half);
    const RowStart& last = full.rows.back();
    std::printf("%zu frames (%.2f s), peak %d (%.2f dBFS), %ld wrapped frames, last row %d/%d at frame %ld\n",
                full.samples.size() / 2, full.samples.size() / 2 / 44100.0, peak,
                20 * std::log10(peak / 32768.0), wraps, last.order, last.row, last.frame);
    std::ofstream f(argv[2], std::ios::binary);
    uint32_t bytes = uint32_t(full.samples.size() * 2);
    f.write("RIFF", 4);
    put32(f, 36 + bytes);
    f.write("WAVEfmt ", 8);
    put32(f, 16);
    put16(f, 1);
    put16(f, 2);
    put32(f, 44100);
    put32(f, 44100 * 4);
    put16(f, 4);
    put16(f, 16);
    f.write("data", 4);
    put32(f, bytes);
    for (int16_t s : full.samples) put16(f, uint16_t(s));
    return f ? 0 : 1;
}
