#include "tools/modrender/trace.h"

#include <array>

#include "sound/mixer/sound_driver.h"

namespace {

struct HandedToVoice {
    int32_t period = 0;
    int32_t volume = 0;
};

// The driver's slots carry no context, so what the wrappers see is kept here.
struct VoiceTap {
    std::array<HandedToVoice, PT_MAX_CHANNELS> voices{};
    int32_t selected = 0;
    void (*select_voice)(int32_t) = nullptr;
    void (*set_voice_period)(int32_t) = nullptr;
    void (*set_voice_volume)(int32_t) = nullptr;
};

VoiceTap tap;

void tap_select_voice(int32_t voice)
{
    if (voice >= 0 && voice < PT_MAX_CHANNELS)
        tap.selected = voice;
    tap.select_voice(voice);
}

void tap_set_voice_period(int32_t period)
{
    tap.voices[size_t(tap.selected)].period = period;
    tap.set_voice_period(period);
}

void tap_set_voice_volume(int32_t volume)
{
    tap.voices[size_t(tap.selected)].volume = volume;
    tap.set_voice_volume(volume);
}

}  // namespace

void trace_row(std::FILE* out, int64_t frame, const PlayerState& state)
{
    const Playback& p = state.play;
    const int32_t pattern = state.song.order[uint32_t(p.playing_order) % PT_ORDER_ENTRIES];
    std::fprintf(out, "row %lld %d %d %d %d %d\n", static_cast<long long>(frame), p.playing_order, pattern,
                 p.playing_row, p.speed, p.tempo);
}

void trace_tick(std::FILE* out, int64_t frame, const PlayerState& state)
{
    const Playback& p = state.play;
    std::fprintf(out, "tick %lld %d %d %d", static_cast<long long>(frame), p.playing_order, p.playing_row,
                 p.tick);
    for (int32_t c = 0; c < state.song.channels && c < PT_MAX_CHANNELS; ++c)
        std::fprintf(out, " %d/%d", tap.voices[size_t(c)].period, tap.voices[size_t(c)].volume);
    std::fputc('\n', out);
}

void voice_tap_install()
{
    SoundDriver& d = sound_driver;
    if (d.select_voice == tap_select_voice)
        return;  // already in place
    tap = VoiceTap{};
    tap.select_voice = d.select_voice;
    tap.set_voice_period = d.set_voice_period;
    tap.set_voice_volume = d.set_voice_volume;
    d.select_voice = tap_select_voice;
    d.set_voice_period = tap_set_voice_period;
    d.set_voice_volume = tap_set_voice_volume;
}
