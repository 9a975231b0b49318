#include "sound/mixer/sound_driver.h"

#include "sound/mixer/null_audio.h"

// Constant-initialised: the table is whole before any other static starts.
constinit SoundDriver sound_driver = null_audio_table();

void sound_driver_reset() { sound_driver = null_audio_table(); }
