#include "tools/modrender/render.h"

#include "sound/mixer/mixer.h"
#include "sound/player/loader.h"
#include "sound/player/player_clock.h"
#include "sound/player/player_state.h"
#include "sound/player/tick.h"
#include "tools/modrender/song_end.h"

#include <algorithm>
#include <vector>

namespace {

// One render's progress, shared by the pacing loop's two hooks.
struct RenderRun {
    RenderRun(const RenderHooks& h, RenderResult& r) : hooks(h), result(r) {}
    const RenderHooks& hooks;
    RenderResult& result;
    std::vector<int32_t> wide = std::vector<int32_t>(2 * size_t(DEVICE_BUFFER_FRAMES));
    std::vector<int16_t> out = std::vector<int16_t>(2 * size_t(DEVICE_BUFFER_FRAMES));
    SongEndWatch watch;
    bool row_start = false;  // the coming tick starts a row
    bool stop_at_end = true;
};

void render_mix(void* user, int32_t offset, int32_t count)
{
    RenderRun& run = *static_cast<RenderRun*>(user);
    std::fill_n(run.wide.begin(), 2 * size_t(count), 0);
    mixer_mix_wide(run.wide.data(), count);
    levels_reduce(run.wide.data(), run.out.data(), count, run.result.levels);
    if (run.hooks.audio)
        run.hooks.audio(run.out.data(), count);
    (void)offset;
}

bool render_ticked(void* user, int32_t offset)
{
    RenderRun& run = *static_cast<RenderRun*>(user);
    const PlayerState& state = pt_state();
    if (song_end_after_tick(run.watch, run.row_start, state) && run.stop_at_end) {
        run.result.end = RenderEnd::loop;
        return false;
    }
    // The tick that set speed 0 ends the song before its row is heard.
    if (state.play.speed == 0 && run.stop_at_end) {
        run.result.end = RenderEnd::stop;
        return false;
    }
    if (run.hooks.tick)
        run.hooks.tick(run.result.frames + offset, run.row_start);
    run.row_start = pt_next_tick_starts_row();
    return true;
}

}  // namespace

int32_t render_open(uint8_t* image, size_t size)
{
    // Start clean: one process may render several modules (the tests do).
    pt_state_reset();
    pt_clock_reset();
    pt_open_silent(SAMPLE_RATE, DEVICE_BUFFER_FRAMES);
    return pt_load_module(image, size);
}

RenderResult render_run(int64_t max_frames, const RenderHooks& hooks, RenderStop stop)
{
    RenderResult r;
    RenderRun run(hooks, r);
    run.stop_at_end = stop == RenderStop::at_song_end;
    run.row_start = pt_next_tick_starts_row();
    PtPacing pacing;
    pacing.mix = render_mix;
    pacing.ticked = render_ticked;
    pacing.user = &run;
    // Buffer by buffer, cut where the device's callback cuts.
    while (r.frames < max_frames && r.end == RenderEnd::limit) {
        const int32_t n = int32_t(std::min<int64_t>(DEVICE_BUFFER_FRAMES, max_frames - r.frames));
        r.frames += pt_pace(n, 0, pacing);
    }
    return r;
}
