// A mixer opened as the player opens it (null back-end, init, master 64),
// and small helpers to set voices up through the table.
#pragma once

#include "core/sound_rates.h"
#include "sound/mixer/mixer.h"
#include "sound/mixer/null_audio.h"
#include "sound/mixer/sound_driver.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

class MixerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sound_driver_reset();
        mixer_reset();
        ASSERT_EQ(null_audio_install(SAMPLE_RATE, DEVICE_BUFFER_FRAMES), 1);
        sound_driver.init(SAMPLE_RATE, DEVICE_BUFFER_FRAMES);
        sound_driver.set_master_volume(64);
    }
    void TearDown() override
    {
        sound_driver_reset();
        mixer_reset();
    }

    static const Voice& active(int32_t voice) { return mixer_view().active[voice]; }

    // Sample `sample` on voice `voice`, started at `position`, at the gains
    // given by volume and pan.
    static void start_voice(int32_t voice, int32_t sample, uint32_t position, int32_t volume, int32_t pan)
    {
        sound_driver.select_voice(voice);
        sound_driver.set_voice_volume(volume);
        sound_driver.set_voice_pan(pan);
        sound_driver.set_voice_sample(sample);
        sound_driver.set_voice_offset(position);
    }

    // Mixes `frames` frames into a fresh silent buffer.
    static std::vector<int16_t> mix(int32_t frames)
    {
        std::vector<int16_t> out(2 * size_t(frames), 0);
        mixer_mix(out.data(), frames);
        return out;
    }
};

// Volume 1, master 64, pan 127 give both gains 1: the output is the sample.
constexpr int32_t unit_volume = 1;
constexpr int32_t unit_pan = 127;
