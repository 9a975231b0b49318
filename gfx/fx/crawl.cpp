#include "gfx/fx/crawl.h"

#include "core/rand.h"
#include "gfx/fx/plot_dot.h"

#include <array>
#include <cstdlib>

namespace {

struct CrawlState {
    std::array<Walker, CRAWL_WALKERS> walkers{};
    bool started = false;
};

CrawlState state;

void start()
{
    state.walkers = {};
    state.walkers[0] = Walker{-1, -1, 215, 180, 0, 60, 1};
    state.started = true;
}

// The child leaves from the parent's pixel; (dx, dy) is already turned.
void spawn(const Walker& parent, int32_t dx, int32_t dy)
{
    for (Walker& child : state.walkers)
        if (!child.active) {
            child = Walker{dx, dy, parent.x, parent.y, 0, core_rand() % 10 + 13, 1};
            return;
        }
}

}  // namespace

void fx_crawl(FrameView buf, const Picture& target)
{
    if (!state.started)
        start();
    const int64_t target_pixels = int64_t(target.width) * target.height;
    const uint32_t* pixels = target.argb();
    int drawn = 0;
    for (Walker& w : state.walkers) {
        if (!w.active)
            continue;
        w.x += w.dx;
        w.y += w.dy;
        if (w.x < 0 || w.x >= FRAME_WIDTH || w.y < 0 || w.y >= FRAME_HEIGHT) {
            w.active = 0;
            continue;
        }
        const int32_t i = w.y * FRAME_WIDTH + w.x;
        if (i >= target_pixels) {
            w.active = 0;
            continue;
        }
        const uint32_t c = pixels[i];
        if ((c & 0x808080) == 0x808080 || (buf[size_t(i)] & 0x8080) == 0) {
            w.active = 0;
            continue;
        }
        fx_plot_dot(buf, i, c);
        w.steps++;
        const int32_t third = w.life / 3;
        if (w.steps == 2 * third)
            spawn(w, -w.dy, w.dx);
        else if (w.steps == third || w.steps == w.life)
            spawn(w, w.dy, -w.dx);
        if (w.steps == w.life)
            w.active = 0;
        if (++drawn == CRAWL_DOTS_PER_CALL)
            return;
    }
}

void fx_crawl_reset() { state = CrawlState{}; }
