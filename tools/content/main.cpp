// content_gen: writes the demo's data at build time.
//
//   content_gen pictures <dir>             pic00.png .. pic14.png, mesh.bare
//   content_gen flyin <out.cpp> [<png>]    the fly-in records as C++ source,
//                                          and optionally the finished
//                                          painting as a picture
//   content_gen icons <dir>                the icon in every installed size,
//                                          <dir>/NxN/apps/kirmavo.png
//
// Everything is deterministic: the same bytes on every run.
#include "gfx/picture/picture_list.h"
#include "tools/common/png_write.h"
#include "tools/content/flyin_fit.h"
#include "tools/content/icon.h"
#include "tools/content/knot_mesh.h"
#include "tools/content/pictures.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

bool write_file(const std::string& path, const void* data, size_t size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

int write_pictures(const std::string& dir)
{
    for (int file = 0; file < PICTURE_FILE_COUNT; file++) {
        const Art art = make_picture(file);
        const std::string path = dir + "/" + PICTURE_FILE_NAMES[size_t(file)];
        if (!png_write_rgba(path.c_str(), art.w, art.h, art.argb)) {
            std::fprintf(stderr, "content_gen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    const std::vector<uint8_t> mesh = mesh_file_bytes(make_mesh());
    if (!write_file(dir + "/mesh.bare", mesh.data(), mesh.size())) {
        std::fprintf(stderr, "content_gen: cannot write %s/mesh.bare\n", dir.c_str());
        return 1;
    }
    return 0;
}

int write_icons(const std::string& dir)
{
    for (const int size : ICON_SIZES) {
        const Art icon = make_icon(size);
        const std::string folder = dir + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        const std::string path = folder + "/kirmavo.png";
        if (error || !png_write_rgba(path.c_str(), icon.w, icon.h, icon.argb)) {
            std::fprintf(stderr, "content_gen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

double mean_area(const std::vector<FitRect>& rects, size_t from, size_t count)
{
    double sum = 0;
    for (size_t i = from; i < from + count; i++)
        sum += double((rects[i].w + 1) * (rects[i].h + 1));
    return sum / double(count);
}

int write_flyin(const std::string& source_path, const char* preview_path)
{
    const auto start = std::chrono::steady_clock::now();
    const Art emblem = make_emblem();
    const std::vector<FitRect> rects = fit_flyin(emblem.argb);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const std::string source = flyin_source(rects);
    if (!write_file(source_path, source.data(), source.size())) {
        std::fprintf(stderr, "content_gen: cannot write %s\n", source_path.c_str());
        return 1;
    }
    const std::vector<uint8_t> grey = grey_of(emblem.argb);
    const std::vector<uint8_t> paint = paint_flyin(rects);
    const std::vector<uint8_t> blank(paint.size(), 0);
    std::printf("fly-in: rms error %.2f grey levels (blank painting %.2f), mean area %.0f first 500, "
                "%.0f last 500, fitted in %.2f s\n",
                rms_error(paint, grey), rms_error(blank, grey), mean_area(rects, 0, 500),
                mean_area(rects, rects.size() - 500, 500), seconds);
    if (preview_path) {
        std::vector<uint32_t> px(paint.size());
        for (size_t i = 0; i < paint.size(); i++)
            px[i] = 0xFF000000u | uint32_t(paint[i]) * 0x010101u;
        if (!png_write_rgba(preview_path, FIT_WIDTH, FIT_HEIGHT, px)) {
            std::fprintf(stderr, "content_gen: cannot write %s\n", preview_path);
            return 1;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "pictures") == 0)
        return write_pictures(argv[2]);
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "flyin") == 0)
        return write_flyin(argv[2], argc == 4 ? argv[3] : nullptr);
    if (argc == 3 && std::strcmp(argv[1], "icons") == 0)
        return write_icons(argv[2]);
    std::fprintf(stderr, "usage: content_gen pictures <dir> | content_gen flyin <out.cpp> [<painting.png>] | "
                         "content_gen icons <dir>\n");
    return 2;
}
