// An SDL-only program, nothing of ours: one timer whose callback locks an
// SDL mutex, as the player's no-device pump does. Under ThreadSanitizer it
// shows SDL 1.2's own report: the timer thread starts before the timer
// list's mutex is made and later takes it, synchronised only by a plain
// flag, so its first SDL_mutexP races with the mutex's creation. The race
// check runs it first to tell that report from one of ours.
#include <SDL.h>

namespace {

SDL_mutex* lock = nullptr;
int calls = 0;

Uint32 tick(Uint32 interval, void*)
{
    SDL_mutexP(lock);
    calls++;
    SDL_mutexV(lock);
    return interval;
}

}  // namespace

int main(int, char**)
{
    if (SDL_Init(SDL_INIT_TIMER) < 0)
        return 1;
    lock = SDL_CreateMutex();
    SDL_TimerID timer = SDL_AddTimer(10, tick, nullptr);
    SDL_Delay(300);
    SDL_RemoveTimer(timer);
    SDL_mutexP(lock);
    const int seen = calls;
    SDL_mutexV(lock);
    SDL_Quit();
    return seen > 0 ? 0 : 1;
}
