// When each row of the show's music is heard, predicted from modrender's
// renderer alone: a row's first tick at frame F is followed by a chunk that
// ends at E, the next tick or the end of F's 4096-frame buffer, whichever
// comes first; buffer j is made at 4096j * 1000 / 44100 ms, so the row is
// stamped 4096(E / 4096) * 1000 / 44100 + (E % 4096) * 1000 / 44100 ms.
//
// Entry points:
//   predicted_row_stamps()   ms per RowTimes index (order * 64 + row), -1
//                            for rows never reached; rows skipped by a jump
//                            share the stamp of the row they land on
#pragma once

#include <cstdint>
#include <vector>

std::vector<int64_t> predicted_row_stamps();
