#include "tools/music/our_render.h"

#include "sound/player/player_state.h"
#include "tools/modrender/render.h"
#include "tools/music/song.h"

Rendering render_ours(const std::vector<uint8_t>& image, int orders)
{
    Rendering out;
    std::vector<uint8_t> copy = image;  // the loader converts patterns in place
    if (!render_open(copy.data(), copy.size()))
        return out;
    out.loaded = true;
    RenderHooks hooks;
    hooks.tick = [&](int64_t frame, bool row_start) {
        // The tick's frames follow it: frame is where the row's sound begins.
        const Playback& p = pt_state().play;
        if (row_start)
            out.rows.push_back({p.playing_order, p.playing_row, long(frame)});
        out.ticks.push_back(long(frame));
    };
    hooks.audio = [&](const int16_t* frames, int32_t count) {
        out.samples.insert(out.samples.end(), frames, frames + 2 * count);
    };
    RenderResult r = render_run(int64_t(orders) * ROWS * SPEED * TICK_FRAMES, hooks);
    out.wrapped_frames = long(r.levels.wrapped_frames);
    out.peak = long(r.levels.peak);
    return out;
}
