#include "app/frame.h"

#include "app/scenes.h"

void frame_draw(Show& show, int32_t now, int32_t pos, FrameView canvas, const FrameInterlude& interlude)
{
    scenes_draw(show, now, pos, canvas);
    if (interlude.run)
        interlude.run(interlude.context);
    layers_draw(show, now, pos, canvas);
}
