#include "app/scenes.h"

// The scenes come next; until then every frame stays as it was cleared.
void scenes_draw(Show&, int32_t, int32_t, FrameView) {}

void layers_draw(Show&, int32_t, int32_t, FrameView) {}
