// The numbers every part of the sound path agrees on: the rate the show is
// mixed and heard at, the device buffer it asks for, and the two clocks a
// tracker module's timing is written against.
#pragma once

#include <cstdint>

// Frames per second (one frame = a left and a right 16-bit sample).
constexpr int32_t SAMPLE_RATE = 44100;

// Frames per device buffer, as the demo asks for it. The row stamps allow for
// one such buffer between being made and being heard.
constexpr int32_t DEVICE_BUFFER_FRAMES = 4096;

// A period is the number of cycles of this clock (Hz) between two samples of
// an instrument: the sample rate of a voice is PERIOD_CLOCK / period.
constexpr int32_t PERIOD_CLOCK = 3546836;

// A tick lasts 2.5 / tempo seconds (tempo 32..255, 125 at the start, so
// 50 ticks a second): frames per tick = TICK_FRAMES_NUMERATOR / (50 * tempo).
// The player rounds down, as here, and so does every tool that predicts it.
constexpr int32_t TICK_FRAMES_NUMERATOR = SAMPLE_RATE * 125;  // 5512500
