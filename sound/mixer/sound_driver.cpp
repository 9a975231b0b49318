#include "sound/mixer/sound_driver.h"

SoundDriver sound_driver;

void sound_driver_reset() { sound_driver = SoundDriver{}; }

bool sound_driver_ready()
{
    const SoundDriver& d = sound_driver;
    return d.define_sample && d.select_voice && d.set_voice_sample && d.set_voice_count &&
           d.set_voice_offset && d.set_voice_volume && d.set_voice_pan && d.init && d.set_master_volume &&
           d.start && d.set_voice_period && d.stop && d.close;
}
