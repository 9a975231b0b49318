#include "app/input.h"

void input_apply(InputState& input, const SDL_Event& event)
{
    if (event.type == SDL_KEYDOWN) {
        if (event.key.keysym.sym == SDLK_SPACE)
            input.ff_held = true;
        else if (event.key.keysym.sym == SDLK_ESCAPE)
            input.escape = true;
    } else if (event.type == SDL_KEYUP && event.key.keysym.sym == SDLK_SPACE) {
        input.ff_held = false;
    }
}

FastForward input_fast_forward(const InputState& input, int32_t now, int32_t last_step)
{
    if (!input.ff_held)
        return {last_step, false};
    const int32_t step = now / 10;
    return {step, step != last_step};
}
