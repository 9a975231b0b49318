// libFuzzer target: a module file as start-up would hand it over, played.
//
// The bytes are copied to a heap block of exactly their size, so a read
// past the end is caught. An accepted module then runs through the pacing
// loop (ticks and mixing) for four seconds of output, made as a device asks
// for it, with a fast-forward as Space gives and a jump of the clock by ten
// minutes, as a stalled device would see. After every buffer the play state
// must be in range.
#include "app/headless_run.h"
#include "sound/player/loader.h"
#include "sound/player/player_clock.h"
#include "sound/player/player_state.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr size_t MODULE_MAX = 1000000;  // what start-up reads of the file
constexpr int BUFFERS = 44;  // about four seconds at 44100 Hz

// A broken invariant stops the run with the state that broke it.
#define check(ok)                                                                                            \
    do {                                                                                                     \
        if (!(ok)) {                                                                                         \
            const Playback& p = pt_state().play;                                                             \
            std::fprintf(stderr, "broken: %s (order %d, row %d, break row %d)\n", #ok, p.order_pos, p.row,   \
                         p.break_row);                                                                       \
            __builtin_trap();                                                                                \
        }                                                                                                    \
    } while (0)

// Between ticks a jump shows its target already: row one before the row
// the next tick starts (E60 on row 0 gives -1), order position one before
// Bxx's entry (-1 .. 254), which the next row takes back into the song.
// What plays, and where its cells are read, must always be in range.
void check_state()
{
    const PlayerState& s = pt_state();
    const Playback& p = s.play;
    check(p.row >= -1 && p.row < ROWS_PER_PATTERN);
    check(p.break_row >= 0 && p.break_row < ROWS_PER_PATTERN);
    check(p.order_pos >= -1 && p.order_pos <= 254);
    check(p.playing_row >= 0 && p.playing_row < ROWS_PER_PATTERN);
    if (s.song.channels > 0) {
        check(p.playing_order >= 0 &&
              p.playing_order < PT_ORDER_ENTRIES);  // the restart may lie past the song
        check(size_t(p.row_offset) + size_t(s.song.channels) * 4 <= s.song.image_size);
    }
    const int32_t pos = pt_poll_position();
    check(pos >= 0 && music_pos_row(pos) < ROWS_PER_PATTERN && music_pos_order(pos) <= PT_ORDER_ENTRIES);
    pt_position_time(pos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > MODULE_MAX)
        return 0;
    std::unique_ptr<uint8_t[]> image(new uint8_t[size]);
    if (size)
        std::memcpy(image.get(), data, size);

    pt_state_reset();
    pt_clock_reset();
    HeadlessRun run;
    run.start_ms = 1000;
    headless_open(run);
    // A module that isn't taken still plays (nothing), as in the show.
    pt_load_module(image.get(), size);

    // A sound sink, so the mixer writes every sample it makes.
    run.sound.take = [](void*, std::span<const int16_t>) {};
    for (int b = 0; b < BUFFERS; b++) {
        headless_feed_buffer(run);
        check_state();
        if (b == 10) {
            pt_audio_callback(nullptr, nullptr, 44100);  // fast-forward
            check_state();
        }
        if (b == 20)
            run.start_ms += 600000;
    }
    headless_clock_release();
    return 0;
}
