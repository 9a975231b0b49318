#include "sound/player/loader.h"

#include <cstring>

#include "sound/player/player_internal.h"
#include "sound/player/tables.h"
#include "sound/player/tick.h"

namespace {

constexpr size_t HEADER_SIZE = 1084;  // title, 31 sample headers, song length,
                                      // restart, order list, signature
constexpr size_t SAMPLE_HEADERS_AT = 20;
constexpr size_t SONG_LENGTH_AT = 950;
constexpr size_t RESTART_AT = 951;
constexpr size_t ORDER_AT = 952;
constexpr size_t SIGNATURE_AT = 1080;

struct Signature {
    char text[5];
    int32_t channels;
};

// Compared in this order; "STOP" ends the table.
constexpr Signature SIGNATURES[] = {
    {"2CHN", 2},  {"4CHN", 4},  {"M.K.", 4},  {"M!K!", 4},  {"FLT4", 4},  {"FLT8", 8},
    {"OCTA", 8},  {"6CHN", 6},  {"8CHN", 8},  {"10CH", 10}, {"12CH", 12}, {"14CH", 14},
    {"16CH", 16}, {"18CH", 18}, {"20CH", 20}, {"22CH", 22}, {"24CH", 24}, {"26CH", 26},
    {"28CH", 28}, {"30CH", 30}, {"32CH", 32}, {"STOP", 0},
};

constexpr const char* UNKNOWN_TYPE = "pt_takemod error: unknown module type!";
constexpr const char* SHORT_HEADER = "pt_takemod error: module shorter than its header!";
constexpr const char* SHORT_PATTERNS = "pt_takemod error: module shorter than its patterns!";

int32_t be16(const uint8_t* p) { return (p[0] << 8) | p[1]; }

int32_t channels_for(const uint8_t* sig)
{
    for (const Signature& s : SIGNATURES) {
        if (std::strncmp(s.text, "STOP", 4) == 0)
            return 0;
        if (std::strncmp(reinterpret_cast<const char*>(sig), s.text, 4) == 0)
            return s.channels;
    }
    return 0;
}

// Smallest column j of row 0 whose period is <= the cell's period, 84 when
// none is. Row 0 falls monotonically, so a binary search finds it.
int32_t note_index(int32_t period)
{
    const PeriodRow& row = PeriodTable[0];
    int32_t lo = 0, hi = NO_NOTE;  // answer in [lo, hi]
    while (lo < hi) {
        int32_t mid = (lo + hi) / 2;
        if (row[mid] <= period)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

void read_sample_header(const uint8_t* h, SampleHeader& s)
{
    s.length = be16(h + 22) * 2;
    s.finetune = h[24] & 0x0F;
    s.volume = h[25] > 64 ? 64 : h[25];
    s.loop_start = be16(h + 26) * 2;
    s.loop_length = be16(h + 28) * 2;
}

// Sample headers, song length, restart position and order list.
void read_song_header(const uint8_t* image, Song& song)
{
    for (int32_t i = 1; i <= 31; ++i)
        read_sample_header(image + SAMPLE_HEADERS_AT + 30 * (i - 1), song.samples[i]);
    // An order list has 128 entries; a longer song cannot be played.
    song.song_length = image[SONG_LENGTH_AT] > PT_ORDER_ENTRIES ? PT_ORDER_ENTRIES : image[SONG_LENGTH_AT];
    song.restart = image[RESTART_AT] > 126 ? 0 : image[RESTART_AT];
    // There are 128 pattern slots; an entry naming a pattern beyond them plays pattern 0.
    for (int32_t i = 0; i < PT_ORDER_ENTRIES; ++i) {
        const uint8_t p = image[ORDER_AT + i];
        song.order[i] = p >= PT_ORDER_ENTRIES ? 0 : p;
    }
}

// Hands the sample data, samples 1..31 in order from `at` on, to the driver.
// Data running past the end of the image is cut to what is there (truncated
// files are common), and the loop is kept inside the sample.
void define_samples(Song& song, size_t at)
{
    for (int32_t i = 1; i <= 31; ++i) {
        SampleHeader& s = song.samples[i];
        if (s.length <= 0)
            continue;
        const size_t present = song.image_size - at;
        if (static_cast<size_t>(s.length) > present)
            s.length = static_cast<int32_t>(present);
        if (s.loop_start > s.length)
            s.loop_start = s.length;
        if (s.loop_start + s.loop_length > s.length)
            s.loop_length = s.length - s.loop_start;
        if (s.length == 0)
            continue;
        sound_driver.define_sample(i, reinterpret_cast<const int8_t*>(song.image + at),
                                   static_cast<uint32_t>(s.length), static_cast<uint32_t>(s.loop_start),
                                   static_cast<uint32_t>(s.loop_start + s.loop_length),
                                   s.loop_length > 2 ? 1 : 0);
        at += static_cast<size_t>(s.length);
    }
}

}  // namespace

void pt_convert_patterns(std::span<uint8_t> cells)
{
    for (size_t i = 0; i + 4 <= cells.size(); i += 4) {
        uint8_t* c = &cells[i];
        int32_t period = ((c[0] & 0x0F) << 8) | c[1];
        int32_t sample = (c[0] & 0xF0) + (c[2] >> 4);
        // The sample table has 32 slots; a larger number is taken as "no sample".
        c[0] = static_cast<uint8_t>(sample > 31 ? 0 : sample);
        c[1] = static_cast<uint8_t>(note_index(period));
        c[2] = c[2] & 0x0F;
    }
}

int32_t pt_takemod(uint8_t* image, size_t size)
{
    PlayerState& st = pt_state_mut();
    Song& song = st.song;
    song = Song{};
    song.image = image;
    song.image_size = size;

    if (image == nullptr || size < HEADER_SIZE) {
        st.last_error = SHORT_HEADER;
        return 0;
    }
    read_song_header(image, song);

    const int32_t channels = channels_for(image + SIGNATURE_AT);
    if (channels == 0) {
        st.last_error = UNKNOWN_TYPE;
        return 0;
    }

    // Every entry counts, played or not: the sample data follows the
    // highest pattern named anywhere in the list.
    int32_t highest = 0;
    for (uint8_t p : song.order)
        highest = p > highest ? p : highest;
    const size_t pattern_bytes = static_cast<size_t>(channels) * 4 * ROWS_PER_PATTERN;
    const size_t data_start = HEADER_SIZE + static_cast<size_t>(highest + 1) * pattern_bytes;
    if (size < data_start) {
        st.last_error = SHORT_PATTERNS;
        return 0;
    }

    song.highest_pattern = highest;
    for (int32_t k = 0; k <= highest; ++k) {
        song.pattern_offset[k] = static_cast<uint32_t>(HEADER_SIZE + k * pattern_bytes);
        pt_convert_patterns(std::span<uint8_t>(image + song.pattern_offset[k], pattern_bytes));
    }
    song.channels = channels;
    define_samples(song, data_start);
    sound_driver.set_voice_count(channels);
    return 1;
}

int32_t pt_load_module(uint8_t* image, size_t size)
{
    PlayerState& st = pt_state_mut();
    st.play.order_pos = 0;
    st.play.row = 0;
    if (!pt_takemod(image, size))
        return 0;
    pt_reset_player();
    return 1;
}

const char* pt_last_error() { return pt_state().last_error; }
