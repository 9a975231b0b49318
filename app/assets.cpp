#include "app/assets.h"

#include <cstdio>

bool assets_picture_fits(int index, const Picture& pic)
{
    if (index < 0 || index >= PICTURE_COUNT)
        return false;
    if (pic.kind != PICTURE_RGBA || pic.bit_depth != 8)
        return false;
    return picture_size_fits(PictureId(index), pic.width, pic.height);
}

const char* assets_load_pictures(std::span<Picture, PICTURE_COUNT> pictures)
{
    for (int i = 0; i < PICTURE_COUNT; i++) {
        const char* name = picture_file_name(PictureId(i));
        Picture& pic = pictures[size_t(i)];
        if (load_png_picture(assets_data_path(name).c_str(), &pic) != 0 || !assets_picture_fits(i, pic))
            return name;
        picture_to_argb(&pic);
    }
    return nullptr;
}

int32_t assets_read_file(const char* path, std::span<uint8_t> buffer)
{
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return -1;
    const size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
    // A directory opens but can't be read, and a disk can fail mid-file:
    // either is a file that can't be loaded, not a short one.
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return failed ? -1 : int32_t(got);
}

// The file holds big-endian words; the renderer reads host (little-endian)
// ones. All 2500 words are reversed, the zero tail of a short file included.
bool assets_read_mesh(const char* path, std::span<uint8_t, MESH_IMAGE_BYTES> mesh)
{
    if (assets_read_file(path, mesh) < 0)
        return false;
    byte_swap_words(mesh.data(), MESH_IMAGE_BYTES / 4);
    return true;
}
