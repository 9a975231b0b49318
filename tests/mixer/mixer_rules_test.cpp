// The mixing rules case by case: steps, gains, bounds, commits, the finished
// one-shot, and the guards that keep reads inside the sample data.

#include "core/sound_rates.h"
#include "tests/mixer/mixer_fixture.h"

#include <numeric>

namespace {

// A sample whose byte i holds int8(i): at unit gain the output names the index read.
std::vector<int8_t> index_ramp(size_t n)
{
    std::vector<int8_t> d(n);
    for (size_t i = 0; i < n; ++i)
        d[i] = int8_t(uint8_t(i));
    return d;
}

std::vector<int32_t> first_channel(const std::vector<int16_t>& out)
{
    std::vector<int32_t> r;
    for (size_t i = 0; i < out.size(); i += 2)
        r.push_back(out[i]);
    return r;
}

std::vector<int32_t> as_indices(std::initializer_list<int> indices)
{
    std::vector<int32_t> r;
    for (int i : indices)
        r.push_back(int8_t(uint8_t(i)));
    return r;
}

TEST(PeriodToStep, GivesTheStepsOfTheExamples)
{
    const struct {
        int32_t period;
        uint32_t step, fraction;
    } cases[] = {{428, 0, 0x301B1E00}, {113, 0, 0xB634E100}, {50, 1, 0x9BC96F00}};
    for (const auto& c : cases) {
        const VoiceStep s = mixer_period_to_step(c.period, SAMPLE_RATE);
        EXPECT_EQ(s.step, c.step) << c.period;
        EXPECT_EQ(s.fraction, c.fraction) << c.period;
    }
}

TEST(PeriodToStep, ZeroNegativeAndNoRateHoldTheVoice)
{
    for (int32_t period : {0, -1, -3, INT32_MIN}) {
        const VoiceStep s = mixer_period_to_step(period, SAMPLE_RATE);
        EXPECT_EQ(s.step, 0u) << period;
        EXPECT_EQ(s.fraction, 0u) << period;
    }
    EXPECT_EQ(mixer_period_to_step(428, 0).fraction, 0u);
    // Period 1 at a rate of 1 Hz: the largest step, still exact.
    EXPECT_EQ(mixer_period_to_step(1, 1).step, uint32_t(PERIOD_CLOCK));
    EXPECT_EQ(mixer_period_to_step(1, 1).fraction, 0u);
}

TEST(Gains, AtTheExtremesOfVolumeAndPan)
{
    EXPECT_EQ(mixer_gains(64, 127, 64).first, 64u);
    EXPECT_EQ(mixer_gains(64, 127, 64).second, 65u);
    EXPECT_EQ(mixer_gains(64, 0, 64).first, 0u);
    EXPECT_EQ(mixer_gains(64, 0, 64).second, 129u);
    EXPECT_EQ(mixer_gains(64, 255, 64).first, 129u);
    EXPECT_EQ(mixer_gains(64, 255, 64).second, 0u);
    EXPECT_EQ(mixer_gains(0, 127, 64).first, 0u);
    EXPECT_EQ(mixer_gains(0, 127, 64).second, 0u);
    // The player's set-volume can pass 255; it scales on, unlimited.
    EXPECT_EQ(mixer_gains(255, 255, 64).first, 516u);
    EXPECT_EQ(mixer_gains(255, 255, 252).first, 2032u);
    EXPECT_EQ(mixer_gains(1, 127, 64).first, 1u);
    EXPECT_EQ(mixer_gains(1, 127, 64).second, 1u);
}

TEST_F(MixerTest, MasterVolumeIsCappedAt252)
{
    sound_driver.set_master_volume(300);
    EXPECT_EQ(mixer_view().master_volume, 252);
    sound_driver.set_master_volume(64);
    EXPECT_EQ(mixer_view().master_volume, 64);
}

TEST_F(MixerTest, PanExtremesAndTheMiddle)
{
    std::vector<int8_t> ones(100, 1);
    sound_driver.define_sample(1, ones.data(), 100, 0, 0, 0);
    const struct {
        int32_t pan;
        int16_t first, second;
    } cases[] = {{255, 129, 0}, {0, 0, 129}, {127, 64, 65}};
    for (const auto& c : cases) {
        start_voice(0, 1, 0, 64, c.pan);
        sound_driver.set_voice_period(0);
        const auto out = mix(4);
        EXPECT_EQ(out[0], c.first) << c.pan;
        EXPECT_EQ(out[1], c.second) << c.pan;
    }
}

TEST_F(MixerTest, LoopWrapsToOnePastLoopStart)
{
    const auto data = index_ramp(300);
    sound_driver.define_sample(1, data.data(), 300, 100, 199, 1);
    start_voice(0, 1, 196, unit_volume, unit_pan);
    mixer_set_voice_step(1, 0);
    EXPECT_EQ(first_channel(mix(6)), as_indices({197, 198, 199, 101, 102, 103}));
    // Over many passes index 100 never comes back.
    const auto later = first_channel(mix(1000));
    EXPECT_EQ(std::count(later.begin(), later.end(), int8_t(100)), 0);
}

TEST_F(MixerTest, OneShotAddsOneTo999ThenFinishes)
{
    std::vector<int8_t> data(1000);
    std::iota(data.begin(), data.end(), 0);  // wraps as int8: still names the index mod 256
    sound_driver.define_sample(1, data.data(), 1000, 0, 0, 0);
    start_voice(0, 1, 0, unit_volume, unit_pan);
    mixer_set_voice_step(1, 0);
    const auto out = first_channel(mix(1200));
    for (int f = 0; f < 999; ++f)
        ASSERT_EQ(out[f], data[f + 1]) << f;
    for (int f = 999; f < 1200; ++f)
        ASSERT_EQ(out[f], 0) << f;
    const Voice& v = active(0);
    EXPECT_EQ(v.volume, 0);
    EXPECT_EQ(v.position, 0u);
    EXPECT_EQ(v.step, 0u);
    EXPECT_EQ(v.finished, 1);
}

TEST_F(MixerTest, StepOneAndAHalf)
{
    const auto data = index_ramp(100);
    sound_driver.define_sample(1, data.data(), 100, 0, 0, 0);
    start_voice(0, 1, 0, unit_volume, unit_pan);
    mixer_set_voice_step(1, 0x80000000);
    EXPECT_EQ(first_channel(mix(6)), as_indices({1, 3, 4, 6, 7, 9}));
}

TEST_F(MixerTest, PeriodZeroAndNegativeHoldThePosition)
{
    const auto data = index_ramp(100);
    sound_driver.define_sample(1, data.data(), 100, 0, 0, 0);
    for (int32_t period : {0, -3}) {
        start_voice(0, 1, 42, unit_volume, unit_pan);
        sound_driver.set_voice_period(period);
        EXPECT_EQ(first_channel(mix(3)), as_indices({42, 42, 42})) << period;
        EXPECT_EQ(active(0).position, 42u);
    }
}

TEST_F(MixerTest, VoiceCountZeroDoesNotEvenCommit)
{
    const auto data = index_ramp(100);
    sound_driver.define_sample(1, data.data(), 100, 0, 0, 0);
    start_voice(0, 1, 10, unit_volume, unit_pan);
    sound_driver.set_voice_count(0);
    EXPECT_EQ(mix(8), std::vector<int16_t>(16, 0));
    EXPECT_EQ(active(0).end, 0u);
    EXPECT_EQ(mixer_view().pending[0].position_changed, 1);  // still waiting
    sound_driver.set_voice_count(1);
    mix(1);
    EXPECT_EQ(active(0).position, 10u);
    EXPECT_EQ(mixer_view().pending[0].position_changed, 0);
}

TEST_F(MixerTest, NullBufferAdvancesLikeARealOne)
{
    // Voices of every kind, mixed once into a buffer and once into nothing.
    std::vector<int8_t> data(5000, 3);
    sound_driver.define_sample(1, data.data(), 5000, 0, 0, 0);
    sound_driver.define_sample(2, data.data(), 5000, 1000, 1200, 1);
    sound_driver.define_sample(3, data.data(), 37, 0, 37, 1);
    sound_driver.set_voice_count(6);
    auto setup = [] {
        const int32_t periods[] = {113, 428, 50, 0, 27, 856};
        for (int v = 0; v < 6; ++v) {
            start_voice(v, 1 + v % 3, 0, 64, 127);
            sound_driver.set_voice_period(periods[v]);
        }
    };
    std::vector<Voice> with_buffer;
    setup();
    for (int call = 0; call < 20; ++call)
        mix(882);
    with_buffer.assign(mixer_view().active.begin(), mixer_view().active.begin() + 6);

    sound_driver.init(SAMPLE_RATE, DEVICE_BUFFER_FRAMES);
    sound_driver.define_sample(1, data.data(), 5000, 0, 0, 0);
    sound_driver.define_sample(2, data.data(), 5000, 1000, 1200, 1);
    sound_driver.define_sample(3, data.data(), 37, 0, 37, 1);
    setup();
    for (int call = 0; call < 20; ++call)
        mixer_mix(nullptr, 882);
    for (int v = 0; v < 6; ++v) {
        const Voice& a = active(v);
        EXPECT_EQ(a.position, with_buffer[v].position) << v;
        EXPECT_EQ(a.position_frac, with_buffer[v].position_frac) << v;
        EXPECT_EQ(a.volume, with_buffer[v].volume) << v;
        EXPECT_EQ(a.finished, with_buffer[v].finished) << v;
    }
    EXPECT_EQ(active(0).finished, 1);  // the one-shot ran out on both roads
}

TEST_F(MixerTest, VolumeZeroKeepsThePosition)
{
    const auto data = index_ramp(1000);
    sound_driver.define_sample(1, data.data(), 1000, 0, 0, 0);
    start_voice(0, 1, 0, unit_volume, unit_pan);
    mixer_set_voice_step(1, 0);
    mix(10);
    sound_driver.set_voice_volume(0);
    EXPECT_EQ(mix(50), std::vector<int16_t>(100, 0));
    EXPECT_EQ(active(0).position, 10u);
    sound_driver.set_voice_volume(unit_volume);
    EXPECT_EQ(first_channel(mix(2)), as_indices({11, 12}));
}

TEST_F(MixerTest, TwoVoicesWrapPast32767)
{
    std::vector<int8_t> loud(64, 127);
    sound_driver.define_sample(1, loud.data(), 64, 0, 0, 0);
    sound_driver.set_master_volume(100);  // gain 202 at volume 64, pan 255
    for (int v = 0; v < 2; ++v) {
        start_voice(v, 1, 0, 64, 255);
        sound_driver.set_voice_period(0);
    }
    const auto out = mix(1);
    EXPECT_EQ(out[0], int16_t(2 * 202 * 127 - 65536));
    EXPECT_LT(out[0], 0);
}

TEST_F(MixerTest, WideMixKeepsTheTrueSum)
{
    std::vector<int8_t> loud(64, -128);
    sound_driver.define_sample(1, loud.data(), 64, 0, 0, 0);
    sound_driver.set_master_volume(100);
    for (int v = 0; v < 2; ++v) {
        start_voice(v, 1, 0, 64, 255);
        sound_driver.set_voice_period(0);
    }
    std::vector<int32_t> out(4, 0);
    mixer_mix_wide(out.data(), 2);
    EXPECT_EQ(out[0], -2 * 202 * 128);  // below -32768, not wrapped
    EXPECT_EQ(out[2], -2 * 202 * 128);
    EXPECT_EQ(out[1], 0);  // pan 255: nothing in the second
}

TEST_F(MixerTest, OffsetAtOrPastTheEnd)
{
    const auto data = index_ramp(200);
    sound_driver.define_sample(1, data.data(), 200, 10, 50, 1);
    start_voice(0, 1, 20, unit_volume, unit_pan);
    sound_driver.set_voice_offset(200);  // at the end: position stays, loop cleared (200 > 50)
    const Voice& p = mixer_view().pending[0];
    EXPECT_EQ(p.position, 20u);
    EXPECT_EQ(p.loop, 0);
    sound_driver.set_voice_offset(199);
    EXPECT_EQ(p.position, 199u);
}

TEST_F(MixerTest, OffsetPastTheLoopPlaysOnceToTheEnd)
{
    const auto data = index_ramp(100);
    sound_driver.define_sample(1, data.data(), 100, 10, 50, 1);
    start_voice(0, 1, 90, unit_volume, unit_pan);
    mixer_set_voice_step(1, 0);
    const auto out = first_channel(mix(12));
    // 91..99, then silence (0) once the end is passed.
    EXPECT_EQ(out, as_indices({91, 92, 93, 94, 95, 96, 97, 98, 99, 0, 0, 0}));
    EXPECT_EQ(active(0).finished, 1);
}

TEST_F(MixerTest, SampleChangeKeepsThePosition)
{
    const auto a = index_ramp(300);
    std::vector<int8_t> b(300, -1);
    sound_driver.define_sample(1, a.data(), 300, 0, 0, 0);
    sound_driver.define_sample(2, b.data(), 300, 0, 0, 0);
    start_voice(0, 1, 0, unit_volume, unit_pan);
    mixer_set_voice_step(1, 0);
    mix(5);
    sound_driver.select_voice(0);
    sound_driver.set_voice_sample(2);
    const auto out = first_channel(mix(2));
    EXPECT_EQ(out, std::vector<int32_t>({-1, -1}));
    EXPECT_EQ(active(0).position, 7u);
    EXPECT_EQ(active(0).sample, 2);
}

TEST_F(MixerTest, SelectionLastsAcrossMixes)
{
    std::vector<int8_t> data(10, 1);
    sound_driver.define_sample(1, data.data(), 10, 0, 0, 0);
    sound_driver.select_voice(3);
    mix(100);
    sound_driver.set_voice_volume(17);
    mix(100);
    EXPECT_EQ(mixer_view().selected_voice, 3);
    EXPECT_EQ(mixer_view().pending[3].volume, 17);
    EXPECT_EQ(mixer_view().pending[0].volume, 0);
}

// Finished one-shots stay silent until set_voice_offset takes a position.
TEST_F(MixerTest, FinishedOneShotWaitsForTheNextNoteStart)
{
    std::vector<int8_t> data(50, 5);  // first byte not 0: the voice would be heard
    sound_driver.define_sample(1, data.data(), 50, 0, 0, 0);
    start_voice(0, 1, 0, 64, 255);
    sound_driver.set_voice_period(100);
    mix(400);
    ASSERT_EQ(active(0).finished, 1);

    // A vibrato or slide period, a volume, the same sample again: still silent.
    sound_driver.select_voice(0);
    sound_driver.set_voice_period(120);
    sound_driver.set_voice_volume(64);
    sound_driver.set_voice_sample(1);
    EXPECT_EQ(mix(100), std::vector<int16_t>(200, 0));
    EXPECT_EQ(active(0).position, 0u);
    // An offset past the end takes no position: silent.
    sound_driver.set_voice_offset(50);
    EXPECT_EQ(mix(10), std::vector<int16_t>(20, 0));

    // A note start wakes it, at the period it was given last.
    sound_driver.set_voice_offset(0);
    const auto out = mix(10);
    EXPECT_EQ(out[0], 129 * 5);
    EXPECT_EQ(active(0).finished, 0);
    EXPECT_GT(active(0).position, 0u);
}

// Loop bounds that disagree with the data. The vectors are exactly `end`
// long: a read past them fails the sanitizer build.
TEST_F(MixerTest, LoopRunningToTheEndReadsItsStartThere)
{
    const auto data = index_ramp(8);
    sound_driver.define_sample(1, data.data(), 8, 4, 8, 1);  // loop start + length = end
    start_voice(0, 1, 5, unit_volume, unit_pan);
    mixer_set_voice_step(1, 0);
    // 6 7 [8 -> 4] 5 6 7 [4] 5: four bytes a pass, as the loop is long.
    EXPECT_EQ(first_channel(mix(8)), as_indices({6, 7, 4, 5, 6, 7, 4, 5}));
}

TEST_F(MixerTest, LoopEndPastTheDataCountsAsTheEnd)
{
    const auto data = index_ramp(8);
    sound_driver.define_sample(1, data.data(), 8, 4, 1000, 1);
    start_voice(0, 1, 5, unit_volume, unit_pan);
    mixer_set_voice_step(1, 0);
    EXPECT_EQ(first_channel(mix(8)), as_indices({6, 7, 4, 5, 6, 7, 4, 5}));
}

TEST_F(MixerTest, LoopStartPastTheDataPlaysOnce)
{
    const auto data = index_ramp(8);
    for (uint32_t loop_start : {8u, 9u, 0xFFFFFFFFu}) {
        sound_driver.define_sample(1, data.data(), 8, loop_start, 0xFFFFFFFFu, 1);
        start_voice(0, 1, 5, unit_volume, unit_pan);
        mixer_set_voice_step(1, 0);
        EXPECT_EQ(first_channel(mix(4)), as_indices({6, 7, 0, 0})) << loop_start;  // then silence
        EXPECT_EQ(active(0).finished, 1);
    }
}

TEST_F(MixerTest, LoopStartOneBeforeTheEnd)
{
    const auto data = index_ramp(8);
    sound_driver.define_sample(1, data.data(), 8, 7, 8, 1);  // a one-byte loop at the end
    start_voice(0, 1, 5, unit_volume, unit_pan);
    mixer_set_voice_step(1, 0);
    EXPECT_EQ(first_channel(mix(5)), as_indices({6, 7, 7, 7, 7}));
}

TEST_F(MixerTest, HugeStepsStayInside)
{
    const auto data = index_ramp(16);
    sound_driver.define_sample(1, data.data(), 16, 2, 15, 1);
    start_voice(0, 1, 0, unit_volume, unit_pan);
    mixer_set_voice_step(0xFFFFFFF0u, 0xFFFFFFFFu);  // backwards through 2^32
    const auto out = first_channel(mix(64));
    for (int32_t s : out)
        EXPECT_TRUE(s >= 0 && s < 16);
}

TEST_F(MixerTest, NullDataIsNotMixed)
{
    sound_driver.define_sample(1, nullptr, 100, 0, 0, 0);
    start_voice(0, 1, 0, 64, 127);
    sound_driver.set_voice_period(428);
    EXPECT_EQ(mix(10), std::vector<int16_t>(20, 0));
    EXPECT_EQ(active(0).position, 0u);
}

TEST_F(MixerTest, InitResetsVoicesAndKeepsMasterAndCount)
{
    std::vector<int8_t> data(10, 1);
    sound_driver.define_sample(1, data.data(), 10, 0, 0, 0);
    start_voice(2, 1, 3, 40, 10);
    sound_driver.set_voice_count(7);
    sound_driver.set_master_volume(100);
    mix(1);
    sound_driver.init(22050, 1024);
    const MixerView v = mixer_view();
    EXPECT_EQ(v.mix_rate, 22050);
    EXPECT_EQ(v.master_volume, 100);
    EXPECT_EQ(v.voice_count, 7);
    EXPECT_EQ(v.selected_voice, 2);
    EXPECT_EQ(v.samples[1].data, nullptr);
    for (const auto* records : {&v.pending, &v.active}) {
        for (const Voice& r : *records) {
            EXPECT_EQ(r.pan, 127);
            EXPECT_EQ(r.step_changed, 1);
            EXPECT_EQ(r.position_changed, 1);
            EXPECT_EQ(r.end, 0u);
            EXPECT_EQ(r.volume, 0);
            EXPECT_EQ(r.position, 0u);
        }
    }
}

TEST(MixerReset, RestoresTheStartOfProgramState)
{
    mixer_init(8000, 64);
    mixer_set_master_volume(64);
    mixer_set_voice_count(9);
    mixer_select_voice(5);
    mixer_reset();
    const MixerView v = mixer_view();
    EXPECT_EQ(v.master_volume, 63);
    EXPECT_EQ(v.voice_count, 4);
    EXPECT_EQ(v.mix_rate, SAMPLE_RATE);
    EXPECT_EQ(v.selected_voice, 0);
    EXPECT_EQ(v.active[0].pan, 0);
    EXPECT_EQ(v.pending[31].step_changed, 0);
}

TEST_F(MixerTest, OutOfRangeNumbersTouchNothing)
{
    std::vector<int8_t> data(10, 1);
    EXPECT_EQ(sound_driver.define_sample(32, data.data(), 10, 0, 0, 0), 0);
    EXPECT_EQ(sound_driver.define_sample(-1, data.data(), 10, 0, 0, 0), 0);
    sound_driver.select_voice(4);
    sound_driver.select_voice(32);
    sound_driver.select_voice(-1);
    EXPECT_EQ(mixer_view().selected_voice, 4);
    sound_driver.set_voice_sample(40);
    EXPECT_EQ(mixer_view().pending[4].sample, 0);
    sound_driver.set_voice_count(1000);  // mixes the 32 there are
    mix(10);
}

}  // namespace

namespace {

// The audio pump cuts each device buffer at the ticks: with no voice
// operation in between, the cuts must not be heard.
TEST_F(MixerTest, CuttingABufferIntoPiecesChangesNothing)
{
    std::vector<int8_t> data(3000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = int8_t(i * 37 + 11);
    auto set_up = [&] {
        sound_driver.init(SAMPLE_RATE, DEVICE_BUFFER_FRAMES);
        sound_driver.define_sample(1, data.data(), 3000, 0, 0, 0);
        sound_driver.define_sample(2, data.data(), 3000, 500, 3000, 1);
        sound_driver.define_sample(3, data.data(), 40, 10, 40, 1);
        sound_driver.set_voice_count(8);
        const int32_t periods[] = {50, 428, 113, 0, 28, 856, 214, 160};
        for (int v = 0; v < 8; ++v) {
            start_voice(v, 1 + v % 3, uint32_t(v * 5), 30 + v, v * 30);
            sound_driver.set_voice_period(periods[v]);
        }
    };
    set_up();
    const auto whole = mix(DEVICE_BUFFER_FRAMES);
    set_up();
    std::vector<int16_t> pieces(2 * DEVICE_BUFFER_FRAMES, 0);
    for (int at = 0, n = 1; at < DEVICE_BUFFER_FRAMES; at += n, n = n * 3 % 1000 + 1) {
        n = std::min(n, DEVICE_BUFFER_FRAMES - at);
        mixer_mix(pieces.data() + 2 * at, n);
    }
    EXPECT_EQ(pieces, whole);
    EXPECT_EQ(active(0).finished, 1);  // a one-shot ran out on the way
}

}  // namespace
