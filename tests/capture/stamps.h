// When each row of the show's music is heard, predicted from modrender's
// renderer alone: a row's first tick at frame F is followed by a chunk that
// ends at E, the next tick or the end of F's device buffer, whichever comes
// first; the row is stamped when the buffer E falls in is made
// (headless_buffer_ms), plus E's frames into it at SAMPLE_RATE.
//
// Entry points:
//   predicted_row_stamps()   ms per row index (music_pos_index), -1
//                            for rows never reached; rows skipped by a jump
//                            share the stamp of the row they land on
#pragma once

#include <cstdint>
#include <vector>

std::vector<int64_t> predicted_row_stamps();
