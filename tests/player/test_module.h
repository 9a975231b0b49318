// Test helpers for the player: modules built in memory as a tracker would
// save them, and a sound driver that records every call made through it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Writes the 1084-byte header, the patterns (file form) and the sample data.
struct ModBuilder {
    struct Sample {
        int32_t words = 0;
        int32_t finetune = 0;  // the whole byte; the loader keeps the low nibble
        int32_t volume = 64;   // the whole byte
        int32_t loop_start_words = 0;
        int32_t loop_length_words = 0;
    };

    explicit ModBuilder(int32_t channels = 4, const char* signature = "M.K.");

    ModBuilder& sample(int32_t i, int32_t words, int32_t volume = 64, int32_t finetune = 0,
                       int32_t loop_start_words = 0, int32_t loop_length_words = 0);
    // Order list; song length = its size unless given.
    ModBuilder& song(std::vector<int32_t> order, int32_t song_length = -1, int32_t restart = 0);
    // One cell in file form: sample 0..255, raw 12-bit period, command, parameter.
    ModBuilder& cell(int32_t pattern, int32_t row, int32_t channel, int32_t sample, int32_t period,
                     int32_t command = 0, int32_t param = 0);
    // The same with a note index, read from row 0 of the period table (84 = no note).
    ModBuilder& note(int32_t pattern, int32_t row, int32_t channel, int32_t sample, int32_t note,
                     int32_t command = 0, int32_t param = 0);
    ModBuilder& fx(int32_t pattern, int32_t row, int32_t channel, int32_t command, int32_t param)
    {
        return cell(pattern, row, channel, 0, 0, command, param);
    }

    std::vector<uint8_t> build() const;

    int32_t channels;
    std::string signature;
    std::array<Sample, 32> samples{};
    std::vector<int32_t> order{0};
    int32_t song_length = 1;
    int32_t restart = 0;
    std::vector<std::vector<uint8_t>> patterns;  // file-form cells, channels * 256 bytes each
};

// Byte offsets of the regions in a built image.
inline constexpr size_t PATTERNS_AT = 1084;

// Recording driver: fills all 13 slots; every call lands in calls() as
// text, e.g. "sel 0", "vol 64", "pan 64", "smp 3", "per 428", "off 0",
// "def 1 len=... ls=... le=... loop=...", "count 4".
void recorder_install();
std::vector<std::string>& calls();
// The calls made since the last take, then forgets them.
std::vector<std::string> take_calls();
// Start-of-program player and a recording driver.
void fresh_player();

// Load `image` (kept alive by the caller) and return pt_load_module's result.
int32_t load(std::vector<uint8_t>& image);
// Run n ticks, returning the calls they made.
std::vector<std::string> ticks(int32_t n = 1);
