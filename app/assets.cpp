#include "app/assets.h"

#include <cstdio>

namespace {

// The smallest picture each load-list entry may be. The scenes index
// full-screen pictures with 320-word rows, and the circles scene moves its
// windows by up to 31 and 33 pixels over pictures 0 and 1.
struct PictureSize {
    int32_t width;
    int32_t min_height;
    bool exact;  // height must be exactly min_height
};

constexpr std::array<PictureSize, PICTURE_COUNT> picture_sizes = {{
    {351, 271, false},  // 0: circles base pattern, at least this wide
    {353, 273, false},  // 1: circles mask, at least this wide
    {320, 240, false},  // 2: crawl target
    {320, 240, false},  // 3..5: overlays
    {320, 240, false},
    {320, 240, false},
    {320, 240, true},   // 6: tower
    {320, 240, true},   // 7: mesh background, halftone source
    {320, 240, false},  // 8..12: overlays, sprites, credits
    {320, 240, false},
    {320, 240, false},
    {320, 240, false},
    {320, 240, false},
    {320, 240, true},  // 13: transition, finale background
    {320, 240, true},  // 14: noise
    {320, 240, true},  // 15: fade target (pic07 again)
}};

}  // namespace

bool assets_picture_fits(int index, const Picture& pic)
{
    if (index < 0 || index >= PICTURE_COUNT)
        return false;
    if (pic.kind != PICTURE_RGBA || pic.bit_depth != 8)
        return false;
    const PictureSize& size = picture_sizes[size_t(index)];
    // Pictures 0 and 1 are read with their own width as row length, so they
    // may be wider; every other one is read 320 words a row.
    const bool width_ok = index <= 1 ? pic.width >= size.width : pic.width == size.width;
    const bool height_ok = size.exact ? pic.height == size.min_height : pic.height >= size.min_height;
    return width_ok && height_ok;
}

const char* assets_load_pictures(std::span<Picture, PICTURE_COUNT> pictures)
{
    char path[100];
    for (int i = 0; picture_files[size_t(i)]; i++) {
        const char* name = picture_files[size_t(i)];
        std::snprintf(path, sizeof path, "data/%s", name);
        Picture& pic = pictures[size_t(i)];
        if (load_png_picture(path, &pic) != 0 || !assets_picture_fits(i, pic))
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
bool assets_read_mesh(const char* path, std::span<uint8_t, MESH_BYTES> mesh)
{
    if (assets_read_file(path, mesh) < 0)
        return false;
    byte_swap_words(mesh.data(), MESH_BYTES / 4);
    return true;
}
