// A data/ directory for running the real programs: pictures of the sizes
// the scenes read, a small mesh and a short silent module, all written here.
//
// Entry points:
//   test_make_dir()            a fresh directory under /tmp
//   test_write_data(dir, song) dir/data/ with pic00.png ... pic14.png,
//                              mesh.bare and a music.mod of the given kind
//   test_picture_size(i)       width and height written for picture file i
#pragma once

#include <string>
#include <utility>

enum class TestSong {
    // 14 silent order entries at speed 6, tempo 125: the show's own length,
    // about 107 s.
    full_length,
    // Entries 0..12 broken off at their first row, entry 13 at speed 1 and
    // tempo 255 with a tone: the last position is heard after about 1 s.
    quick,
};

std::string test_make_dir();
void test_write_data(const std::string& dir, TestSong song = TestSong::full_length);
std::pair<int, int> test_picture_size(int file);
