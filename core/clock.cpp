#include "core/clock.h"

#include <atomic>
#include <chrono>

namespace {

uint32_t steady_ms()
{
    using std::chrono::steady_clock;
    static const steady_clock::time_point start = steady_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(steady_clock::now() - start);
    return uint32_t(ms.count());
}

// Read from the audio thread and the main thread alike.
std::atomic<ClockSource> clock_source{steady_ms};

}  // namespace

uint32_t clock_ms() { return clock_source.load(std::memory_order_relaxed)(); }

void clock_set_source(ClockSource source)
{
    clock_source.store(source ? source : steady_ms, std::memory_order_relaxed);
}
