#include "tools/modrender/render.h"

#include <algorithm>
#include <vector>

#include "sound/mixer/mixer.h"
#include "sound/mixer/null_audio.h"
#include "sound/player/loader.h"
#include "sound/player/player_clock.h"
#include "sound/player/player_state.h"
#include "sound/player/tick.h"
#include "tools/modrender/song_end.h"

int32_t render_open(uint8_t* image, size_t size)
{
    // Start clean: one process may render several modules (the tests do).
    pt_state_reset();
    null_audio_install(RENDER_RATE, RENDER_BUFFER_FRAMES);
    pt_start_driver(RENDER_RATE);
    return pt_load_module(image, size);
}

RenderResult render_run(int64_t max_frames, const RenderHooks& hooks)
{
    RenderResult r;
    std::vector<int32_t> wide(2 * size_t(RENDER_BUFFER_FRAMES));
    std::vector<int16_t> out(2 * size_t(RENDER_BUFFER_FRAMES));
    const PlayerState& state = pt_state();
    SongEndWatch watch;

    while (r.frames < max_frames) {
        const bool row_start = song_end_row_starts(state);
        const Playback before = state.play;
        pt_tick();
        if (song_end_after_tick(watch, before, state, row_start)) {
            r.end = RenderEnd::song;
            return r;
        }
        if (hooks.tick)
            hooks.tick(r.frames, row_start);
        int64_t left = std::min<int64_t>(pt_tick_length(), max_frames - r.frames);
        while (left > 0) {
            // Up to the next device-buffer edge, where the callback cuts too.
            const int32_t room = RENDER_BUFFER_FRAMES - int32_t(r.frames % RENDER_BUFFER_FRAMES);
            const int32_t n = int32_t(std::min<int64_t>(left, room));
            std::fill_n(wide.begin(), 2 * size_t(n), 0);
            mixer_mix_wide(wide.data(), n);
            levels_reduce(wide.data(), out.data(), n, r.levels);
            if (hooks.audio)
                hooks.audio(out.data(), n);
            r.frames += n;
            left -= n;
        }
    }
    return r;
}
