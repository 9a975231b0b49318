// frame_cost: what drawing each frame of the show costs on this build. Plays
// the whole show headless at 60 fps, three times over (the runs draw the
// same frames, so a frame's cost is its fastest of the three, which keeps
// a busy machine's noise out), and prints for each scene its heaviest frame
// and the mean of its ten heaviest:
//   scene <n> <heaviest frame's time in ms> <its cost> <mean of ten>   (µs)
// Only the frame is timed (the moment, the scene, the overlays, the film
// damage); the sound buffers due before it are made first. Run it beside
// data/.
#include "app/frame.h"
#include "app/headless_run.h"
#include "app/scenes.h"
#include "app/show.h"
#include "app/startup.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr int RUNS = 3;
constexpr size_t HEAVIEST = 10;
struct Frame {
    int32_t pos = 0;
    double us = 1e300;
};

}  // namespace

int main()
{
    std::vector<Frame> frames;
    for (int r = 0; r < RUNS; r++) {
        // Fresh data each run: the player converts the module in place.
        static std::array<uint8_t, MODULE_BYTES> module;
        auto show = std::make_unique<Show>();
        auto canvas = std::make_unique<FrameBuffer>();
        int32_t size = 0;
        if (startup_load(*show, module, size) != 0) {
            std::fprintf(stderr, "frame_cost: no data/ here\n");
            return 1;
        }
        headless_fresh_start(*show);
        HeadlessRun run;
        headless_start_show(run, *show, module, size);
        for (size_t k = 0; run.stopped == HeadlessStop::running; k++) {
            headless_feed(run, headless_frame_ms(run.frame, run.fps));
            const auto start = std::chrono::steady_clock::now();
            if (!headless_step(run, *show, *canvas))
                break;
            const double us =
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
            if (frames.size() <= k)
                frames.resize(k + 1);
            frames[k].pos = run.moment.pos;
            frames[k].us = std::min(frames[k].us, us);
        }
        headless_clock_release();
    }
    for (int scene = 1; scene <= SCENE_COUNT; scene++) {
        std::vector<std::pair<double, size_t>> costs;
        for (size_t k = 0; k < frames.size(); k++)
            if (scene_number(frames[k].pos) == scene)
                costs.push_back({frames[k].us, k});
        if (costs.empty())
            continue;
        std::sort(costs.rbegin(), costs.rend());
        const size_t n = std::min(HEAVIEST, costs.size());
        double sum = 0;
        for (size_t i = 0; i < n; i++)
            sum += costs[i].first;
        std::printf("scene %d %lld %.1f %.1f\n", scene,
                    static_cast<long long>(headless_frame_ms(int64_t(costs[0].second), 60)), costs[0].first,
                    sum / double(n));
    }
    return 0;
}
