// Reading the score's pattern text: one cell per row in tracker notation,
// "A-1 05 C30" = note, sample, effect.
//
//   note    C-2, C#2, ... (octaves 0..5; C-1 is period 856), or --- for none
//   sample  two decimal digits 01..31, or ..
//   effect  three hex digits, command then parameter, or ...
// Trailing parts may be left out ("A-1 05", "--- .. A01"), "." is an empty
// cell, and "*N" after a cell repeats it N times. Cells are separated by
// '|' or line breaks; the score writes one beat (four rows) a line.
//
// Entry points:
//   parse_track(text, transpose)   the cells, notes moved by transpose
//                                  semitones; throws TextError
//   parse_cell(text)               one cell; throws TextError
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tools/music/song.h"

struct TextError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

ScoreCell parse_cell(std::string_view text);
std::vector<ScoreCell> parse_track(std::string_view text, int transpose = 0);
