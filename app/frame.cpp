#include "app/frame.h"

#include "app/scenes.h"
#include "core/clock.h"
#include "sound/player/player_clock.h"

namespace {

struct StepInterlude {
    const FrameHooks& hooks;
    const FrameMoment& moment;
};

void step_interlude(void* context)
{
    const StepInterlude& step = *static_cast<StepInterlude*>(context);
    step.hooks.interlude(step.hooks.context, step.moment);
}

}  // namespace

FrameMoment frame_step(Show& show, const FrameHooks& hooks)
{
    FrameMoment moment;
    pt_poll_position();
    moment.now = int32_t(clock_ms());
    const FrameView canvas = hooks.begin(hooks.context);
    moment.pos = pt_get_position();
    moment.ended = moment.pos > SHOW_LAST_POSITION;

    StepInterlude step{hooks, moment};
    FrameInterlude interlude;
    if (hooks.interlude)
        interlude = {step_interlude, &step};
    frame_draw(show, moment.now, moment.pos, canvas, interlude);
    return moment;
}

void frame_draw(Show& show, int32_t now, int32_t pos, FrameView canvas, const FrameInterlude& interlude)
{
    scenes_draw(show, now, pos, canvas);
    if (interlude.run)
        interlude.run(interlude.context);
    layers_draw(show, now, pos, canvas);
}
