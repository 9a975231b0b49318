// Shared between the player's own files only: write access to the state,
// the driver calls, and the two halves of the effect handling.
#pragma once

#include <cstdint>

#include "sound/mixer/sound_driver.h"
#include "sound/player/player_state.h"

PlayerState& pt_state_mut();

// One converted pattern cell: sample 0..31 (0 = none), note 0..84
// (84 = none), command 0..15, parameter.
struct Cell {
    int32_t sample;
    int32_t note;
    int32_t command;
    int32_t param;
};

// Tick 0 of a row, and every later tick, for channel c whose voice is selected.
void row_effects(PlayerState& st, int32_t c, const Cell& cell);
void tick_effects(PlayerState& st, int32_t c, const Cell& cell);

// The driver calls, for the voice selected last. The table always has every
// slot (it starts as the null back-end), so none is tested here.
inline void drv_select_voice(int32_t v) { sound_driver.select_voice(v); }
inline void drv_set_sample(int32_t s) { sound_driver.set_voice_sample(s); }
inline void drv_set_volume(int32_t v) { sound_driver.set_voice_volume(v); }
inline void drv_set_pan(int32_t p) { sound_driver.set_voice_pan(p); }
// Vibrato can swing a very high note below period 0; the voice is held
// still (period 0) rather than handed a negative period.
inline void drv_set_period(int32_t p) { sound_driver.set_voice_period(p < 0 ? 0 : p); }
inline void drv_set_offset(uint32_t pos) { sound_driver.set_voice_offset(pos); }
