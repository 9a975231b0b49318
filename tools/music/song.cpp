#include "song.h"

namespace {

// Finetune-0 periods, seven octaves from the lowest note up.
constexpr std::array<uint16_t, 84> PERIODS{
    3424, 3232, 3048, 2880, 2712, 2560, 2416, 2280, 2152, 2032, 1920, 1812, 1712, 1616, 1524, 1440, 1356,
    1280, 1208, 1140, 1076, 1016, 960,  906,  856,  808,  762,  720,  678,  640,  604,  570,  538,  508,
    480,  453,  428,  404,  381,  360,  339,  320,  302,  285,  269,  254,  240,  226,  214,  202,  190,
    180,  170,  160,  151,  143,  135,  127,  120,  113,  107,  101,  95,   90,   85,   80,   75,   71,
    67,   63,   60,   56,   53,   50,   47,   45,   42,   40,   37,   35,   33,   31,   30,   28};

}  // namespace

int note_period(int note)
{
    if (note < 0 || note >= 84)
        return 0;
    return PERIODS[note];
}

std::string note_name(int note)
{
    static const char* names[12] = {"C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"};
    if (note < 12 || note >= 84)
        return "---";
    return std::string(names[note % 12]) + char('0' + note / 12 - 1);
}
