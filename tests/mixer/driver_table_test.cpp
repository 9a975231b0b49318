// The operation table: its start values (the null back-end), which slots
// each side fills, and the null back-end's install.

#include "core/sound_rates.h"
#include "sound/mixer/mixer.h"
#include "sound/mixer/null_audio.h"
#include "sound/mixer/sound_driver.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class DriverTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        sound_driver_reset();
        mixer_reset();
    }
    void TearDown() override
    {
        sound_driver_reset();
        mixer_reset();
    }
};

void back_end_marker() {}
void back_end_init(int32_t, int32_t) {}

TEST_F(DriverTable, StartsAsTheNullBackEndWithItsDefaults)
{
    const SoundDriver& d = sound_driver;
    EXPECT_STREQ(d.name, "");
    EXPECT_STREQ(d.error_text, "");
    EXPECT_EQ(d.output_rate, SAMPLE_RATE);
    EXPECT_EQ(d.buffer_frames, 512);
    EXPECT_EQ(d.init, mixer_init);
    EXPECT_EQ(d.define_sample, mixer_define_sample);
    EXPECT_EQ(d.set_voice_period, mixer_set_voice_period);
    // The device slots do nothing, and say so by leaving the mixer alone.
    d.start();
    d.stop();
    d.close();
    EXPECT_EQ(mixer_view().mix_rate, SAMPLE_RATE);
}

// The mixer's slots are driven in ThePlayersOpeningSequenceMakesSound; the
// back-end's four must come through the mixer's filling as they were.
TEST_F(DriverTable, MixerLeavesTheBackEndsFour)
{
    SoundDriver d;
    d.init = back_end_init;
    d.start = d.stop = d.close = back_end_marker;
    mixer_fill_driver(d);
    EXPECT_EQ(d.init, back_end_init);
    EXPECT_EQ(d.start, back_end_marker);
    EXPECT_EQ(d.stop, back_end_marker);
    EXPECT_EQ(d.close, back_end_marker);
}

TEST_F(DriverTable, NullAudioInstallsItsSlotsNameAndSizes)
{
    sound_driver.error_text = "SDL audio error";
    sound_driver.select_voice = nullptr;
    null_audio_install(22050, 2048);
    EXPECT_STREQ(sound_driver.name, "null audio");
    EXPECT_STREQ(sound_driver.error_text, "SDL audio error") << "why there is no device stays on record";
    EXPECT_EQ(sound_driver.output_rate, 22050);
    EXPECT_EQ(sound_driver.buffer_frames, 2048);
    EXPECT_EQ(sound_driver.select_voice, mixer_select_voice);
    sound_driver.init(22050, 2048);
    EXPECT_EQ(mixer_view().mix_rate, 22050);

    sound_driver_reset();
    EXPECT_STREQ(sound_driver.name, "");
    EXPECT_STREQ(sound_driver.error_text, "");
    EXPECT_EQ(sound_driver.select_voice, mixer_select_voice);
}

TEST_F(DriverTable, ThePlayersOpeningSequenceMakesSound)
{
    // init, master 64, start, samples, voice count, then a note on voice 1.
    null_audio_install(SAMPLE_RATE, DEVICE_BUFFER_FRAMES);
    sound_driver.init(SAMPLE_RATE, sound_driver.buffer_frames);
    sound_driver.set_master_volume(64);
    sound_driver.start();
    int8_t sample[64];
    std::memset(sample, 100, sizeof sample);
    EXPECT_EQ(sound_driver.define_sample(1, sample, 64, 0, 64, 1), 1);
    sound_driver.set_voice_count(4);
    sound_driver.select_voice(1);
    sound_driver.set_voice_volume(64);
    sound_driver.set_voice_pan(255);
    sound_driver.set_voice_sample(1);
    sound_driver.set_voice_period(428);
    sound_driver.set_voice_offset(0);
    int16_t out[2 * 16] = {};
    mixer_mix(out, 16);
    EXPECT_EQ(out[0], 129 * 100);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[30], 129 * 100);
}

}  // namespace
