// Whole frames of scenes 4 to 7 through frame_draw, overlays and film damage
// included, on the show's own data: run in a directory holding data/ (the
// build directory; the program also looks two levels above itself).
//
// The show runs on a virtual clock with one row every 120 ms (the fly-in's
// 15.2 s then fill most of its 128 rows). Each benchmark replays the show,
// a frame every 20 ms, from 8 s before its scene to its moment, so the
// painting, the overlays and the crawl stand as they would, then draws that
// moment over and over, the clock moving within a small window:
//   fly-in    ms since the scene began; 0 cycles through the first second
//             (224 records in flight, those near depth 511 scaled past the
//             screen), 120 is its heaviest frame; 3500, with about 1000 in
//             flight and the landings begun, is the heaviest of the scene
//   fade      a fade step in every frame
//   mesh      rising at 1010, bouncing at 1120, under the wipe at 1160
//   crawl     a crawl step in every frame at 1250; the finale at 1350
#include "app/frame.h"
#include "app/headless_run.h"
#include "app/show.h"
#include "app/show_cues.h"
#include "core/music_pos.h"
#include "bench/frame/bench_show.h"
#include "sound/player/player_clock.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <limits>

namespace {

constexpr int32_t ROW_MS = 120;
constexpr int32_t FIRST_ROW_MS = 1000;
constexpr int32_t FRAME_MS = 20;

int32_t heard_at(MusicPos pos) { return music_pos_index(pos) * ROW_MS + FIRST_ROW_MS; }

MusicPos pos_at(int32_t t) { return t < FIRST_ROW_MS ? 0 : music_pos_at_index((t - FIRST_ROW_MS) / ROW_MS); }

FrameBuffer canvas{};
HeadlessRun run;

// A fresh run on the virtual clock, every row of the song stamped, frames
// drawn up to 8 s before `scene_pos` is heard.
Show* start_show(int32_t scene_pos)
{
    Show* show = bench_show();
    if (show == nullptr)
        return nullptr;
    show->scene = SceneState{};
    show_prepare_work(*show);
    pt_clock_reset();
    run = HeadlessRun{};
    run.fps = 1000 / FRAME_MS;
    headless_open(run);
    for (int32_t order = 0; order <= music_pos_order(SHOW_LAST_POSITION); order++)
        for (int32_t row = 0; row < ROWS_PER_PATTERN; row++)
            pt_stamp_rows(order, row, heard_at(music_pos(order, row)));
    run.frame = std::max(heard_at(scene_pos) - 8000, 0) / FRAME_MS;
    run.max_frames = run.frame + 1;
    headless_step(run, *show, canvas);
    return show;
}

// The frames of the show up to `until`.
void play_until(Show& show, int32_t until)
{
    run.max_frames = std::numeric_limits<int64_t>::max();
    run.until_ms = until;
    while (headless_step(run, show, canvas)) {
    }
}

// The moment `now` drawn again and again, the clock `step` ms on each time
// within a window of `span` ms.
void run_frames(benchmark::State& state, Show* show, int32_t now, int32_t step, int32_t span)
{
    if (show == nullptr) {
        state.SkipWithError("no data/ with the show's pictures and mesh");
        return;
    }
    play_until(*show, now);
    const int32_t pos = pos_at(now);
    int32_t offset = 0;
    for (auto _ : state) {
        offset = (offset + step) % span;
        headless_clock_set(uint32_t(now + offset));
        frame_draw(*show, now + offset, pos, canvas);
        benchmark::DoNotOptimize(canvas.data());
        benchmark::ClobberMemory();
    }
    headless_clock_release();
}

void BM_SceneFlyin(benchmark::State& state)
{
    const int32_t ms = int32_t(state.range(0));
    Show* show = start_show(SCENE_STARTS[3]);
    if (show)
        play_until(*show, heard_at(SCENE_STARTS[3]) + FRAME_MS);
    const int32_t start = show ? show->scene.flyin_start : 0;
    // Nothing lands in the first second, so its frames repeat exactly; later
    // a window of 7 ms lands nothing new after its first frame.
    if (ms == 0)
        run_frames(state, show, start, 17, 1000);
    else
        run_frames(state, show, start + ms, 1, 7);
}
BENCHMARK(BM_SceneFlyin)->Arg(0)->Arg(120)->Arg(3500)->Arg(9000)->Arg(15000);

void BM_SceneFadeStep(benchmark::State& state)
{
    // The clock only moves on here: a fade step waits for a later time.
    run_frames(state, start_show(SCENE_STARTS[4]), heard_at(SCENE_STARTS[4] + 20), 46, 1 << 30);
}
BENCHMARK(BM_SceneFadeStep);

void BM_SceneMesh(benchmark::State& state)
{
    const int32_t pos = int32_t(state.range(0));
    run_frames(state, start_show(SCENE_STARTS[5]), heard_at(pos), 17, 1000);
}
BENCHMARK(BM_SceneMesh)->Arg(1010)->Arg(1120)->Arg(1160);

void BM_SceneCrawl(benchmark::State& state)
{
    const int32_t pos = int32_t(state.range(0));
    run_frames(state, start_show(pos), heard_at(pos), 26, 26 * 1000);
}
BENCHMARK(BM_SceneCrawl)->Arg(1250)->Arg(1350);

}  // namespace
