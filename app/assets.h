// Loading the demo's data at start-up, from data/ in the working directory
// (the installed programs: from their installed data folder).
//
// Entry points:
//   assets_data_path(name)            where data file `name` is read from:
//                                     "data/<name>", or the file in the
//                                     installed folder (data_folder.cpp)
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
#include <string>

// A longer module file is cut here, as a mesh file is at MESH_IMAGE_BYTES.
constexpr int MODULE_BYTES = 1000000;

std::string assets_data_path(const char* name);
const char* assets_load_pictures(std::span<Picture, PICTURE_COUNT> pictures);
bool assets_picture_fits(int index, const Picture& pic);
bool assets_read_mesh(const char* path, std::span<uint8_t, MESH_IMAGE_BYTES> mesh);
int32_t assets_read_file(const char* path, std::span<uint8_t> buffer);
