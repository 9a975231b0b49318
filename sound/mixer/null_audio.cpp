#include "sound/mixer/null_audio.h"

void null_audio_nothing() {}

int32_t null_audio_install(int32_t rate, int32_t buffer_frames)
{
    SoundDriver& d = sound_driver;
    const char* error_text = d.error_text;  // why a device did not open, when one did not
    d = null_audio_table();
    d.error_text = error_text;
    d.output_rate = rate;
    d.buffer_frames = buffer_frames;  // a device that is not there grants what it is asked
    d.name = "null audio";
    return 1;
}
