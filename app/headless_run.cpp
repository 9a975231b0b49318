#include "app/headless_run.h"

#include "app/startup.h"
#include "core/clock.h"
#include "core/rand.h"
#include "core/sound_rates.h"
#include "sound/mixer/mixer.h"
#include "sound/mixer/sound_driver.h"
#include "sound/player/player_clock.h"
#include "sound/player/player_state.h"

#include <atomic>

namespace {

// Atomic: a test may read it from a timer thread while the main thread sets it.
std::atomic<uint32_t> virtual_ms{0};

uint32_t virtual_clock() { return virtual_ms.load(std::memory_order_relaxed); }

}  // namespace

void headless_clock_use(uint32_t ms)
{
    virtual_ms = ms;
    clock_set_source(virtual_clock);
}

void headless_clock_set(uint32_t ms) { virtual_ms = ms; }

void headless_clock_release() { clock_set_source(nullptr); }

int64_t headless_buffer_ms(int64_t j) { return j * DEVICE_BUFFER_FRAMES * 1000 / SAMPLE_RATE; }

int64_t headless_frame_ms(int64_t k, int32_t fps) { return k * 1000 / fps; }

void headless_fresh_start(Show& show)
{
    pt_clock_reset();
    pt_state_reset();
    mixer_reset();
    sound_driver_reset();
    core_srand(1);
    show.scene = SceneState{};
}

void headless_open(HeadlessRun& run)
{
    headless_clock_use(run.start_ms);
    pt_open_silent(SAMPLE_RATE, DEVICE_BUFFER_FRAMES);
}

bool headless_start_show(HeadlessRun& run, Show& show, std::span<uint8_t, MODULE_BYTES> module, int32_t size)
{
    headless_open(run);
    const bool taken = startup_hand_over(show, module, size);
    startup_first_position();
    return taken;
}

void headless_feed_buffer(HeadlessRun& run)
{
    // Stamps are made at the buffer's own time, as a device's callback makes them.
    headless_clock_set(uint32_t(run.start_ms + uint64_t(headless_buffer_ms(run.buffers))));
    constexpr int LENGTH = DEVICE_BUFFER_FRAMES * 4;  // bytes
    if (run.sound.take) {
        run.buffer.assign(2 * size_t(DEVICE_BUFFER_FRAMES), 0);
        pt_audio_callback(nullptr, reinterpret_cast<uint8_t*>(run.buffer.data()), LENGTH);
        run.sound.take(run.sound.context, run.buffer);
    } else {
        pt_audio_callback(nullptr, nullptr, LENGTH);
    }
    run.buffers++;
}

void headless_feed(HeadlessRun& run, int64_t t)
{
    while (headless_buffer_ms(run.buffers) <= t)
        headless_feed_buffer(run);
}

bool headless_step(HeadlessRun& run, Show& show, FrameView canvas)
{
    if (run.stopped != HeadlessStop::running)
        return false;
    const int64_t t = headless_frame_ms(run.frame, run.fps);
    if (run.frame >= run.max_frames) {
        run.stopped = HeadlessStop::frames;
        return false;
    }
    if (t > run.until_ms) {
        run.stopped = HeadlessStop::time;
        return false;
    }
    // The device asks for every buffer due by now before the frame is drawn.
    headless_feed(run, t);
    headless_clock_set(uint32_t(run.start_ms + uint64_t(t)));
    run.moment = frame_moment();
    frame_draw(show, run.moment.now, run.moment.pos, canvas);
    run.moment_ms = t;
    run.frame++;
    if (run.moment.ended && run.stop_at_end)
        run.stopped = HeadlessStop::end;
    return true;
}
