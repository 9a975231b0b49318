#include "app/frame.h"

#include "core/clock.h"
#include "sound/player/player_clock.h"

FrameMoment frame_moment()
{
    FrameMoment moment;
    pt_poll_position();
    moment.now = int32_t(clock_ms());
    moment.pos = pt_get_position();
    moment.ended = moment.pos > SHOW_LAST_POSITION;
    return moment;
}
