#include "clock.h"

#include <SDL.h>

#include <atomic>

namespace {

uint32_t sdl_ticks() { return SDL_GetTicks(); }

// Read from the audio thread and the main thread alike.
std::atomic<ClockSource> clock_source{sdl_ticks};

}  // namespace

uint32_t clock_ms() { return clock_source.load(std::memory_order_relaxed)(); }

void clock_set_source(ClockSource source)
{
    clock_source.store(source ? source : sdl_ticks, std::memory_order_relaxed);
}
