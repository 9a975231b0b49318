// Loading the demo's data from data/ at start-up.
//
// Entry points:
//   assets_load_pictures(pictures)    the load list (gfx/picture/picture_list.h);
//                                     returns the bare file name of the first
//                                     picture that can't be used, or nullptr
//                                     when all loaded
//   assets_picture_fits(index, pic)   the size and format the scenes read
//   assets_read_mesh(path, mesh)      the mesh file, words reversed to host order
//   assets_read_file(path, buffer)    one bounded read; bytes read, or -1 when
//                                     the file can't be opened or read
#pragma once

#include "gfx/mesh/mesh_image.h"
#include "gfx/picture/picture.h"
#include "gfx/picture/picture_list.h"

#include <cstdint>
#include <span>

// A longer module file is cut here, as a mesh file is at MESH_IMAGE_BYTES.
constexpr int MODULE_BYTES = 1000000;

const char* assets_load_pictures(std::span<Picture, PICTURE_COUNT> pictures);
bool assets_picture_fits(int index, const Picture& pic);
bool assets_read_mesh(const char* path, std::span<uint8_t, MESH_IMAGE_BYTES> mesh);
int32_t assets_read_file(const char* path, std::span<uint8_t> buffer);
