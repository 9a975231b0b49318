#include "tools/music/song.h"

#include "sound/player/tables.h"

int note_period(int note)
{
    if (note < 0 || note >= 84)
        return 0;
    return PeriodTable[0][size_t(note)];  // the player's own table, finetune 0
}

std::string note_name(int note)
{
    static const char* names[12] = {"C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"};
    if (note < 12 || note >= 84)
        return "---";
    return std::string(names[note % 12]) + char('0' + note / 12 - 1);
}
