// MOD loader: recognises a module image, fills the song tables, converts
// the patterns in place and hands the samples to the sound driver.
//
// Entry points:
//   pt_load_module(image, size)  load and reset playback; 1 = accepted, 0 = refused
//   pt_takemod(image, size)      the parser and converter behind it, 1/0
//   pt_convert_patterns(cells)   rewrite file cells into the player's Cell form
//                                (player_internal.h) in place
//   pt_last_error()              fixed text of the last refusal, or null
//
// The image is not copied: patterns are rewritten inside it and the mixer
// plays samples straight out of it, so it must outlive playback. Only the
// 31-sample layout with a 4-character signature at offset 1080 is read.
// Nothing in the image is trusted: every count and offset is checked
// against `size`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

int32_t pt_load_module(uint8_t* image, size_t size);
int32_t pt_takemod(uint8_t* image, size_t size);
void pt_convert_patterns(std::span<uint8_t> cells);
const char* pt_last_error();
