// Song timelines: the rows a module plays, in order, and how many ticks
// each one lasts, from our engine and from a peer player (libxmp).
//
// Entry points:
//   our_timeline(image, max_ticks)    step our engine over a copy of the image
//   peer_timeline(image, max, loops) the peer's, up to its end of song
//   compare_timelines(a, b, out)      first difference, as text; true if equal
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TimelineRow {
    int32_t order;  // order-list entry
    int32_t row;    // 0..63
    int32_t ticks;  // ticks the row lasted
    int32_t tempo;  // tempo in force during the row
    bool operator==(const TimelineRow&) const = default;
};

std::vector<TimelineRow> our_timeline(const std::vector<uint8_t>& image, int32_t max_ticks);
// Stops when the peer has played the song `loops` + 1 times (or after max_ticks).
std::vector<TimelineRow> peer_timeline(const std::vector<uint8_t>& image, int32_t max_ticks,
                                       int32_t loops = 0);
// Compares the first min(a, b) rows.
bool compare_timelines(const std::vector<TimelineRow>& ours, const std::vector<TimelineRow>& peer,
                       std::string& report);
