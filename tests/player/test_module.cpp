#include "tests/player/test_module.h"

#include <cstring>

#include "sound/mixer/sound_driver.h"
#include "sound/player/loader.h"
#include "sound/player/player_state.h"
#include "sound/player/tables.h"
#include "sound/player/tick.h"

namespace {

std::vector<std::string> g_calls;

void put(std::string s) { g_calls.push_back(std::move(s)); }

}  // namespace

ModBuilder::ModBuilder(int32_t channels_, const char* sig) : channels(channels_), signature(sig) {}

ModBuilder& ModBuilder::sample(int32_t i, int32_t words, int32_t volume, int32_t finetune,
                               int32_t loop_start_words, int32_t loop_length_words)
{
    samples[i] = Sample{words, finetune, volume, loop_start_words, loop_length_words};
    return *this;
}

ModBuilder& ModBuilder::song(std::vector<int32_t> o, int32_t length, int32_t restart_)
{
    order = std::move(o);
    song_length = length < 0 ? static_cast<int32_t>(order.size()) : length;
    restart = restart_;
    return *this;
}

ModBuilder& ModBuilder::cell(int32_t pattern, int32_t row, int32_t channel, int32_t sample, int32_t period,
                             int32_t command, int32_t param)
{
    while (static_cast<int32_t>(patterns.size()) <= pattern)
        patterns.emplace_back(static_cast<size_t>(channels) * 256, 0);
    uint8_t* c = &patterns[pattern][(row * channels + channel) * 4];
    c[0] = static_cast<uint8_t>((sample & 0xF0) | ((period >> 8) & 0x0F));
    c[1] = static_cast<uint8_t>(period & 0xFF);
    c[2] = static_cast<uint8_t>(((sample & 0x0F) << 4) | (command & 0x0F));
    c[3] = static_cast<uint8_t>(param);
    return *this;
}

ModBuilder& ModBuilder::note(int32_t pattern, int32_t row, int32_t channel, int32_t sample, int32_t n,
                             int32_t command, int32_t param)
{
    return cell(pattern, row, channel, sample, n >= 84 ? 0 : PeriodTable[0][n], command, param);
}

std::vector<uint8_t> ModBuilder::build() const
{
    std::vector<uint8_t> out(1084, 0);
    std::memcpy(out.data(), "test module", 11);
    for (int32_t i = 1; i <= 31; ++i) {
        const Sample& s = samples[i];
        uint8_t* h = &out[20 + 30 * (i - 1)];
        h[22] = static_cast<uint8_t>(s.words >> 8);
        h[23] = static_cast<uint8_t>(s.words);
        h[24] = static_cast<uint8_t>(s.finetune);
        h[25] = static_cast<uint8_t>(s.volume);
        h[26] = static_cast<uint8_t>(s.loop_start_words >> 8);
        h[27] = static_cast<uint8_t>(s.loop_start_words);
        h[28] = static_cast<uint8_t>(s.loop_length_words >> 8);
        h[29] = static_cast<uint8_t>(s.loop_length_words);
    }
    out[950] = static_cast<uint8_t>(song_length);
    out[951] = static_cast<uint8_t>(restart);
    int32_t highest = 0;
    for (size_t i = 0; i < order.size() && i < 128; ++i) {
        out[952 + i] = static_cast<uint8_t>(order[i]);
        highest = order[i] > highest ? order[i] : highest;
    }
    std::memcpy(&out[1080], signature.data(), 4);
    for (int32_t k = 0; k <= highest; ++k) {
        if (k < static_cast<int32_t>(patterns.size()))
            out.insert(out.end(), patterns[k].begin(), patterns[k].end());
        else
            out.insert(out.end(), static_cast<size_t>(channels) * 256, 0);
    }
    // Sample i's bytes are all i, so a test can tell whose data it sees.
    for (int32_t i = 1; i <= 31; ++i)
        out.insert(out.end(), samples[i].words * 2, static_cast<uint8_t>(i));
    return out;
}

void recorder_install()
{
    sound_driver_reset();
    SoundDriver& d = sound_driver;
    d.define_sample = [](int32_t s, const int8_t*, uint32_t end, uint32_t ls, uint32_t le,
                         int32_t loop) -> int32_t {
        put("def " + std::to_string(s) + " len=" + std::to_string(end) + " ls=" + std::to_string(ls) +
            " le=" + std::to_string(le) + " loop=" + std::to_string(loop));
        return 1;
    };
    d.select_voice = [](int32_t v) { put("sel " + std::to_string(v)); };
    d.set_voice_sample = [](int32_t s) { put("smp " + std::to_string(s)); };
    d.set_voice_count = [](int32_t n) { put("count " + std::to_string(n)); };
    d.set_voice_offset = [](uint32_t p) { put("off " + std::to_string(p)); };
    d.set_voice_volume = [](int32_t v) { put("vol " + std::to_string(v)); };
    d.set_voice_pan = [](int32_t p) { put("pan " + std::to_string(p)); };
    d.init = [](int32_t, int32_t) { put("init"); };
    d.set_master_volume = [](int32_t) { put("master"); };
    d.start = [] { put("start"); };
    d.set_voice_period = [](int32_t p) { put("per " + std::to_string(p)); };
    d.stop = [] { put("stop"); };
    d.close = [] { put("close"); };
}

std::vector<std::string>& calls() { return g_calls; }

std::vector<std::string> take_calls()
{
    std::vector<std::string> out;
    out.swap(g_calls);
    return out;
}

void fresh_player()
{
    pt_state_reset();
    recorder_install();
    g_calls.clear();
}

int32_t load(std::vector<uint8_t>& image) { return pt_load_module(image.data(), image.size()); }

std::vector<std::string> ticks(int32_t n)
{
    take_calls();
    for (int32_t i = 0; i < n; ++i)
        pt_tick();
    return take_calls();
}
