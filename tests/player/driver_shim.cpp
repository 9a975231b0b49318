// Stands in for the mixer's definition of the driver table when the mixer
// library is not part of the build.
#include "sound_driver.h"

SoundDriver sound_driver;
void sound_driver_reset() { sound_driver = SoundDriver{}; }
