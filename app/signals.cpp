#include "app/signals.h"

#include <atomic>
#include <csignal>

namespace {

// Written by the handler on whichever thread the signal lands, read by the
// frame loop once a frame: the first signal's number, 0 before any.
std::atomic<int> quit_asked{0};
static_assert(std::atomic<int>::is_always_lock_free, "the handler must not lock");

void on_signal(int signal)
{
    int none = 0;
    quit_asked.compare_exchange_strong(none, signal, std::memory_order_relaxed);
}

}  // namespace

void signals_install()
{
    struct sigaction action = {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    // Restart interrupted calls: the frame in progress finishes as usual.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool signals_quit_asked() { return quit_asked.load(std::memory_order_relaxed) != 0; }

int signals_caught() { return quit_asked.load(std::memory_order_relaxed); }

void signals_reset() { quit_asked.store(0, std::memory_order_relaxed); }
