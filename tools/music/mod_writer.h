// Turning a ScoreSong into the bytes of an "8CHN" module (31 sample headers,
// big-endian words, one pattern per 8 x 64 cells).
//
// Entry points:
//   mod_bytes(song)              the whole file
//   write_file(path, bytes)      true on success
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/music/song.h"

std::vector<uint8_t> mod_bytes(const ScoreSong& song);
bool write_file(const std::string& path, const std::vector<uint8_t>& bytes);
