#include "tools/music/mod_writer.h"

#include <cstdio>
#include <stdexcept>

namespace {

void put_text(std::vector<uint8_t>& out, const std::string& s, size_t width)
{
    for (size_t i = 0; i < width; ++i)
        out.push_back(i < s.size() ? uint8_t(s[i]) : 0);
}

void put_word(std::vector<uint8_t>& out, uint32_t words)
{
    if (words > 0xFFFF)
        throw std::runtime_error("sample too long for a MOD header");
    out.push_back(uint8_t(words >> 8));
    out.push_back(uint8_t(words));
}

}  // namespace

std::vector<uint8_t> mod_bytes(const ScoreSong& song)
{
    if (song.samples.size() > 31)
        throw std::runtime_error("more than 31 samples");
    if (song.orders.empty() || song.orders.size() > 128)
        throw std::runtime_error("bad order count");
    std::vector<uint8_t> out;
    put_text(out, song.title, 20);
    for (size_t i = 0; i < 31; ++i) {
        if (i >= song.samples.size()) {
            put_text(out, "", 22);
            put_word(out, 0);
            out.push_back(0);
            out.push_back(0);
            put_word(out, 0);
            put_word(out, 1);
            continue;
        }
        const SampleDef& s = song.samples[i];
        if (s.data.size() % 2 || s.loop_start % 2 || s.loop_length % 2)
            throw std::runtime_error("sample " + s.name + ": odd length");
        put_text(out, s.name, 22);
        put_word(out, uint32_t(s.data.size() / 2));
        out.push_back(0);  // finetune: every sample is tuned at finetune 0
        out.push_back(uint8_t(s.volume));
        put_word(out, s.loop_length ? s.loop_start / 2 : 0);
        put_word(out, s.loop_length ? s.loop_length / 2 : 1);
    }
    out.push_back(uint8_t(song.orders.size()));
    out.push_back(song.restart);
    for (size_t i = 0; i < 128; ++i)
        out.push_back(i < song.orders.size() ? song.orders[i] : 0);
    put_text(out, "8CHN", 4);
    static_assert(CHANNELS == 8);
    for (const Pattern& p : song.patterns) {
        for (const auto& row : p.rows) {
            for (const ScoreCell& c : row) {
                int period = c.note == NO_NOTE ? 0 : note_period(c.note);
                out.push_back(uint8_t((c.sample & 0xF0) | (period >> 8)));
                out.push_back(uint8_t(period));
                out.push_back(uint8_t(((c.sample & 0x0F) << 4) | (c.cmd & 0x0F)));
                out.push_back(c.param);
            }
        }
    }
    for (const SampleDef& s : song.samples)
        for (int8_t v : s.data)
            out.push_back(uint8_t(v));
    return out;
}

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
