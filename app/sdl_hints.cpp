#include "app/sdl_hints.h"

#include <cstdlib>

namespace {

struct SdlHint {
    const char* name;
    const char* value;
};

constexpr SdlHint SDL_HINTS[] = {
    {"SDL12COMPAT_SCALE_METHOD", "nearest"},
    {"SDL12COMPAT_SYNC_TO_VBLANK", "1"},
};

}  // namespace

void app_set_sdl_hints()
{
    // A variable the user set, even to an empty value, stays as it is.
    for (const SdlHint& hint : SDL_HINTS)
        setenv(hint.name, hint.value, 0);
}
