// A data/ directory for running the real programs: pictures of the sizes
// the scenes read, a small mesh and a short silent module, all written here.
//
// Entry points:
//   test_make_dir()            a fresh directory under /tmp
//   test_write_data(dir)       dir/data/ with pic00.png ... pic14.png,
//                              mesh.bare and music.mod
//   test_picture_size(i)       width and height written for picture file i
#pragma once

#include <string>
#include <utility>

std::string test_make_dir();
void test_write_data(const std::string& dir);
std::pair<int, int> test_picture_size(int file);
