// Draws the shipped knot at a few angles over pic07, as the mesh scene
// does, and writes each frame twice: as drawn, and through the halftone
// onto black. Usage: mesh_look [output dir] (default /tmp/mesh_look).
#include "gfx/fx/halftone.h"
#include "gfx/mesh/mesh_draw.h"
#include "gfx/mesh/mesh_image.h"
#include "gfx/mesh/mesh_matrix.h"
#include "gfx/picture/picture.h"
#include "tools/common/png_write.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::string out = argc > 1 ? argv[1] : "/tmp/mesh_look";
    std::filesystem::create_directories(out);

    std::vector<uint8_t> image(MESH_IMAGE_BYTES);
    FILE* f = std::fopen(KIRMAVO_DATA_DIR "/mesh.bare", "rb");
    if (f == nullptr)
        return 1;
    (void)std::fread(image.data(), 1, image.size(), f);
    std::fclose(f);
    words_from_big_endian(image.data(), MESH_IMAGE_BYTES / 4);
    if (!mesh_check(image))
        return 1;

    Picture pic;
    if (load_png_picture(KIRMAVO_DATA_DIR "/pic07.png", &pic) != 0)
        return 1;
    picture_to_argb(&pic);
    fx_halftone_init(FRAME_WIDTH, FRAME_HEIGHT);

    struct Pose {
        float y, z, turn, roll;
        int strength;
    };
    const Pose poses[] = {{-0.3f, -20, 0.0f, 0, 230},
                          {-0.3f, -20, 1.0f, 0, 180},
                          {0.2f, -20, 2.2f, 0, 130},
                          {-0.3f, -20, 4.0f, 0, 60},
                          {-2.0f, -11, 5.0f, 1.5f, 250}};
    int k = 0;
    for (const Pose& p : poses) {
        FrameBuffer work, canvas{};
        std::copy(pic.argb(), pic.argb() + FRAME_PIXELS, work.begin());
        mesh_reset_matrix();
        mesh_translate(1.5f, p.y, p.z);
        mesh_rotate_y(p.turn);
        if (p.roll != 0)
            mesh_rotate_z(p.roll);
        mesh_draw(image, work);
        fx_halftone(canvas, work, p.strength);
        const std::string base = out + "/knot" + std::to_string(k++);
        // The show ignores alpha on screen; the files make every pixel opaque
        // so that the black of colour 0 does not turn into transparency.
        for (FrameBuffer* frame : {&work, &canvas}) {
            for (uint32_t& p : *frame)
                p |= 0xFF000000;
        }
        png_write_rgba((base + ".png").c_str(), FRAME_WIDTH, FRAME_HEIGHT, work);
        png_write_rgba((base + "_dots.png").c_str(), FRAME_WIDTH, FRAME_HEIGHT, canvas);
    }
    std::printf("wrote %d pairs to %s\n", k, out.c_str());
    return 0;
}
