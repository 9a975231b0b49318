// mesh_draw of the shipped knot as the mesh scene poses it: 20 units in,
// turning about y, over a whole frame. Read from data/mesh.bare in the
// working directory or in the build directory above this program.
#include "gfx/mesh/mesh_draw.h"
#include "gfx/mesh/mesh_image.h"
#include "gfx/mesh/mesh_matrix.h"
#include "gfx/picture/picture.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

std::vector<uint8_t> read_knot()
{
    namespace fs = std::filesystem;
    const fs::path exe = fs::read_symlink("/proc/self/exe");
    for (const fs::path& path : {fs::path("data/mesh.bare"), exe.parent_path() / "../../data/mesh.bare"}) {
        FILE* f = std::fopen(path.c_str(), "rb");
        if (f == nullptr)
            continue;
        std::vector<uint8_t> image(MESH_IMAGE_BYTES);
        (void)std::fread(image.data(), 1, image.size(), f);
        std::fclose(f);
        words_from_big_endian(image.data(), MESH_IMAGE_BYTES / 4);
        return image;
    }
    return {};
}

void BM_MeshDraw(benchmark::State& state)
{
    const std::vector<uint8_t> image = read_knot();
    if (image.empty() || !mesh_check(image)) {
        state.SkipWithError("no usable data/mesh.bare");
        return;
    }
    static FrameBuffer frame{};
    int step = 0;
    for (auto _ : state) {
        mesh_reset_matrix();
        mesh_translate(1.5f, -0.3f, -20.0f);
        mesh_rotate_y(float(step++ % 64) * 0.1f);  // a full turn over 64 frames
        mesh_draw(image, frame);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MeshDraw);

}  // namespace
