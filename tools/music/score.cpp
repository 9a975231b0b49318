#include "tools/music/score.h"

#include <algorithm>
#include <map>
#include <string>

#include "tools/music/pattern_text.h"
#include "tools/music/samples.h"

// Sample numbers in the text: 01 kick, 02 snare, 03 hat, 04 crash, 05 bass,
// 06 pad (minor chord), 07 pad (major chord), 08 lead, 09 pluck, 10 chip,
// 11 stab, 12 riser, 13 impact. Drums play at C-3, cymbals at B-3.
// One row is a sixteenth note, a line of text one beat, a pattern 4 bars.

namespace {

const std::map<std::string, std::string> FRAGMENTS{
    // ---- pad: chord samples, written on A (minor) and C (major) --------
    {"sw_min", "A-1 06 C08 | --- .. A10 *6 | . *9"},  // swell 8 -> 38
    {"sw_maj", "C-2 07 C08 | --- .. A10 *6 | . *9"},
    {"pm", "A-1 06 C20 | . *15"},
    {"pM", "C-2 07 C20 | . *15"},
    {"pm_lo", "A-1 06 C14 | . *15"},
    {"pM_lo", "C-2 07 C14 | . *15"},
    {"pM8", "C-2 07 C20 | . *7"},
    {"pM_swell", "C-2 07 C10 | --- .. A10 *4 | . *11"},  // 16 -> 36
    // a chord that leads into another one dips on its last row (32 to 12),
    // so the restart does not step from the full level
    {"pM_out", "C-2 07 C20 | . *14 | --- .. A04"},
    {"pM8_out", "C-2 07 C20 | . *6 | --- .. A04"},
    // the quiet section: swells that stay low (6 to 21)
    {"sw_min_soft", "A-1 06 C06 | --- .. A10 *3 | . *12"},
    {"sw_maj_soft", "C-2 07 C06 | --- .. A10 *3 | . *12"},
    // the last chord rings, then dies away: 32 to 12 over four rows, then
    // one step a row, silent from row 61 of the last entry (the show ends
    // when row 63 is heard)
    {"pm_final", "A-1 06 C20 | . *5 | --- .. A01 *4 | --- .. EB1 *12 | . *2"},

    // ---- bass: root, fifth and octave only, so any chord can take it ----
    // The bass never stops at full level: a cut or a new note while the
    // loop still sounds would be a step of up to 5400 in the output, a
    // click. Short notes fade within their own row (A0A: 40 to 0 in four
    // ticks, steps of 10), longer ones on their last row (A08).
    {"b_riff", R"(
        A-1 05     | .          | --- .. A08 | A-1 05 A0A
        .          | .          | A-2 05 A0A | .
        A-1 05     | --- .. A08 | E-2 05 A0A | A-1 05 A0A
        A-2 05     | --- .. A08 | E-2 05 A0A | A-1 05 A0A )"},
    {"b_riff8", R"(
        A-1 05     | .          | --- .. A08 | A-1 05 A0A
        .          | .          | A-2 05 A0A | .          )"},
    {"b_long", "A-1 05 C20 | . *14 | --- .. A07"},
    {"b_long_soft", "A-1 05 C0A | . *14 | --- .. A02"},
    {"b_pump", R"(
        A-1 05 A0A | .          | A-2 05 A0A | .
        A-1 05 A0A | .          | A-2 05 A0A | .
        A-1 05 A0A | .          | A-2 05 A0A | .
        A-1 05 A0A | .          | A-2 05 A0A | .          )"},
    {"b_pump_stop", R"(
        A-1 05 A0A | .          | A-2 05 A0A | .
        A-1 05 A0A | .          | A-2 05 A0A | .
        A-1 05 A0A | .          | A-2 05 A0A | .
        .          | .          | .          | .          )"},
    // the credit figure, in unison with the stabs (Am, F, C)
    {"b_credit", R"(
        A-1 05 A0A | .          | A-1 05 A0A | A-1 05 A0A
        A-2 05 A0A | .          | A-1 05 A0A | .
        .          | A-1 05 A0A | A-2 05 A0A | .
        A-1 05     | .          | .          | --- .. A08
        F-1 05 A0A | F-1 05 A0A | .          | .
        F-2 05 A0A | .          | .          | .
        F-1 05     | .          | .          | .
        --- .. A0A | .          | F-1 05 A0A | F-2 05 A0A
        C-2 05 A0A | C-2 05 A0A | .          | C-3 05 A0A
        .          | .          | .          | .
        C-2 05     | .          | .          | .
        --- .. A08 | .          | G-2 05 A0A | .          )"},
    // the fall: an octave of tone portamento under the held lead, faded
    // out on its last row (5xy: the glide goes on while the volume drops)
    {"b_fall", "E-2 05 | . *3 | E-1 .. 308 | --- .. 300 *10 | --- .. 508"},
    // the last note rings, then dies away well before the show's end:
    // five a row for six rows, then one a row (40, 10, silent from row 61)
    {"b_final", "A-1 05 C28 | . *5 | --- .. A01 *6 | --- .. EB1 *10 | . *2"},

    // ---- kick -----------------------------------------------------------
    {"k_groove", R"(
        C-3 01     | .          | .          | .
        .          | .          | .          | C-3 01 C30
        .          | .          | C-3 01     | .
        .          | .          | .          | .          )"},
    {"k_four", "C-3 01 | . *3 | C-3 01 | . *3 | C-3 01 | . *3 | C-3 01 | . *3"},
    {"k_q8", "C-3 01 | . *3 | C-3 01 | . *3"},
    {"k_half_soft", "C-3 01 C14 | . *15"},
    {"k_stop", "C-3 01 | . *3 | C-3 01 | . *3 | C-3 01 | . *3 | . *4"},
    {"k_tempo", "--- .. F06 | . *63"},
    {"k_title", "C-3 13 C20 | . *15"},
    {"k_credit", R"(
        C-3 01     | .          | .          | C-3 01 C30
        .          | .          | C-3 01 C30 | .
        .          | .          | C-3 01     | .
        .          | .          | .          | .
        C-3 01     | .          | .          | .
        .          | .          | .          | .
        C-3 01 C30 | .          | .          | .
        .          | .          | .          | .
        C-3 01 A0C | .          | .          | C-3 01 C30
        .          | .          | .          | .
        C-3 01     | .          | .          | .
        .          | .          | .          | .          )"},
    // the impact is faded out (A0D) just before the groove takes over
    {"k_imp", R"(
        C-3 13     | .          | .          | .
        .          | .          | --- .. A0D | C-3 01 C30
        .          | .          | C-3 01     | .
        .          | .          | .          | .          )"},
    // the impact again, bent down by a slide: the mesh falls away
    {"k_fall", "C-3 13 C30 | --- .. 204 *11 | . *4"},
    {"k_end", "C-3 13 C30 | . *23"},

    // ---- snare ----------------------------------------------------------
    {"s_tempo", "--- .. F7D | . *63"},
    {"s_back", R"(
        .          | .          | .          | .
        C-3 02 C38 | .          | .          | .
        .          | .          | .          | .
        C-3 02 C30 | .          | .          | C-3 02 C0C )"},
    {"s_b8", ". *4 | C-3 02 C38 | . *3"},
    {"s_credit", R"(
        .          | .          | C-3 02 C30 | .
        C-3 02 C38 | .          | .          | .
        .          | C-3 02 C30 | .          | .
        C-3 02 C30 | .          | .          | .
        .          | C-3 02 C30 | .          | .
        C-3 02 C38 | .          | .          | .
        .          | .          | .          | .
        .          | .          | C-3 02 C34 | C-3 02 C38
        .          | C-3 02 C38 | .          | .
        C-3 02 C30 | .          | .          | .
        .          | .          | .          | .
        C-3 02 C30 | .          | .          | .          )"},
    {"s_eighths", R"(
        C-3 02 C14 | .          | C-3 02 C18 | .
        C-3 02 C2C | .          | C-3 02 C18 | .
        C-3 02 C14 | .          | C-3 02 C18 | .
        C-3 02 C2C | .          | C-3 02 C1C | .          )"},
    {"s_up", R"(
        C-3 02 C10 | C-3 02 C12 | C-3 02 C14 | C-3 02 C16
        C-3 02 C18 | C-3 02 C1A | C-3 02 C1C | C-3 02 C1E
        C-3 02 C20 | C-3 02 C22 | C-3 02 C24 | C-3 02 C26
        C-3 02 C28 | C-3 02 C2A | C-3 02 C2C | C-3 02 C2E )"},
    // retriggered (E93: twice a row) and rising, then four rows of silence
    {"s_roll", R"(
        C-3 02 C24 | C-3 .. E93 | C-3 02 C28 | C-3 .. E93
        C-3 02 C2C | C-3 .. E93 | C-3 02 C2E | C-3 .. E93
        C-3 02 C30 | C-3 .. E93 | C-3 02 C30 | C-3 .. E93
        .          | .          | .          | .          )"},
    {"s_fill", R"(
        .          | .          | .          | .
        .          | .          | .          | .
        C-3 02 C18 | .          | C-3 02 C20 | .
        C-3 02 C28 | C-3 02 C30 | C-3 02 C38 | C-3 02 C40 )"},
    {"s_flash", R"(
        C-3 02 C30 | .          | .          | .
        .          | .          | .          | .
        C-3 02 C18 | C-3 .. E93 | C-3 02 C1E | C-3 .. E93
        C-3 02 C24 | C-3 .. E93 | C-3 02 C28 | C-3 .. E93 )"},
    {"s_end", "C-3 02 C24 | . *23"},

    // ---- hats and cymbals -----------------------------------------------
    {"h8", "B-3 03 | . | B-3 03 C10 | . | B-3 03 | . | B-3 03 C10 | . | "
           "B-3 03 | . | B-3 03 C10 | . | B-3 03 | . | B-3 03 C10 | ."},
    {"h_soft8", "B-3 03 C0C | . | B-3 03 C08 | . | B-3 03 C0C | . | B-3 03 C08 | . | "
                "B-3 03 C0C | . | B-3 03 C08 | . | B-3 03 C0C | . | B-3 03 C08 | ."},
    {"h16", R"(
        B-3 03     | B-3 03 C0A | B-3 03 C14 | B-3 03 C0A
        B-3 03     | B-3 03 C0A | B-3 03 C14 | B-3 03 C0A
        B-3 03     | B-3 03 C0A | B-3 03 C14 | B-3 03 C0A
        B-3 03     | B-3 03 C0A | B-3 03 C14 | B-3 03 C0A )"},
    {"h16_8", R"(
        B-3 03     | B-3 03 C0A | B-3 03 C14 | B-3 03 C0A
        B-3 03     | B-3 03 C0A | B-3 03 C14 | B-3 03 C0A )"},
    {"h_crash", "B-3 04 | . *15"},
    {"h_crash16", R"(
        B-3 04     | .          | .          | .
        .          | .          | .          | .
        B-3 03     | B-3 03 C0A | B-3 03 C14 | B-3 03 C0A
        B-3 03     | B-3 03 C0A | B-3 03 C14 | B-3 03 C0A )"},
    {"h_crash_soft8", R"(
        B-3 04     | .          | .          | .
        .          | .          | .          | .
        B-3 03 C0C | .          | B-3 03 C08 | .
        B-3 03 C0C | .          | B-3 03 C08 | .          )"},
    {"h_crash24", "B-3 04 | . *23"},

    // ---- riser and chip arpeggios (channel 3) ---------------------------
    {"riser", "C-3 12 | . *31"},  // exactly 32 rows long
    {"chip_min", "A-2 10 037 | --- .. 037 *15"},
    {"chip_maj", "C-3 10 047 | --- .. 047 *15"},
    // Our player holds the last arpeggio step on a row without a note, other
    // players return to the note: a run that is not followed by a note ends
    // on its note (040: the last tick plays the note itself), and is then
    // faded out (chip_out, 24 to 0 in four ticks).
    {"chip_maj_end", "C-3 10 047 | --- .. 047 *14 | --- .. 040"},
    {"chip_out", "--- .. A06"},
    // a third as loud, for the quiet section
    {"chip_min_soft", "A-2 10 C08 | --- .. 037 *15"},
    {"chip_maj_soft", "C-3 10 C08 | --- .. 047 *15"},

    // ---- pluck: broken chords ------------------------------------------
    {"p8_Am", "A-2 09 | . | C-3 09 | . | E-3 09 | . | C-3 09 | . | "
              "A-2 09 | . | C-3 09 | . | E-3 09 | . | A-3 09 | ."},
    {"p8_F", "A-2 09 | . | C-3 09 | . | F-3 09 | . | C-3 09 | . | "
             "A-2 09 | . | C-3 09 | . | F-3 09 | . | A-3 09 | ."},
    {"p8_C", "G-2 09 | . | C-3 09 | . | E-3 09 | . | C-3 09 | . | "
             "G-2 09 | . | C-3 09 | . | E-3 09 | . | G-3 09 | ."},
    {"p8_G", "G-2 09 | . | B-2 09 | . | D-3 09 | . | B-2 09 | . | "
             "G-2 09 | . | B-2 09 | . | D-3 09 | . | G-3 09 | ."},
    {"p8_Dm", "A-2 09 | . | D-3 09 | . | F-3 09 | . | D-3 09 | . | "
              "A-2 09 | . | D-3 09 | . | F-3 09 | . | A-3 09 | ."},
    {"bell", "E-3 09 C18 | . *7 | C-3 09 C14 | . *7 | D-3 09 C18 | . *7 | B-2 09 C14 | . *7"},
    {"p16_Am", R"(
        A-2 09     | C-3 09 C18 | E-3 09 C1C | A-3 09 C18
        E-3 09     | C-3 09 C18 | A-2 09 C1C | C-3 09 C18
        E-3 09     | A-3 09 C18 | E-3 09 C1C | C-3 09 C18
        A-2 09     | C-3 09 C18 | E-3 09 C1C | G-3 09 C18 )"},
    {"p16_F", R"(
        A-2 09     | C-3 09 C18 | F-3 09 C1C | A-3 09 C18
        F-3 09     | C-3 09 C18 | A-2 09 C1C | C-3 09 C18
        F-3 09     | A-3 09 C18 | F-3 09 C1C | C-3 09 C18
        A-2 09     | C-3 09 C18 | F-3 09 C1C | G-3 09 C18 )"},
    {"p16_C", R"(
        G-2 09     | C-3 09 C18 | E-3 09 C1C | G-3 09 C18
        E-3 09     | C-3 09 C18 | G-2 09 C1C | C-3 09 C18
        E-3 09     | G-3 09 C18 | E-3 09 C1C | C-3 09 C18
        G-2 09     | C-3 09 C18 | E-3 09 C1C | D-3 09 C18 )"},
    {"p16_G", R"(
        G-2 09     | B-2 09 C18 | D-3 09 C1C | G-3 09 C18
        D-3 09     | B-2 09 C18 | G-2 09 C1C | B-2 09 C18
        D-3 09     | G-3 09 C18 | D-3 09 C1C | B-2 09 C18
        G-2 09     | B-2 09 C18 | D-3 09 C1C | F-3 09 C18 )"},
    {"p16_Dm", R"(
        A-2 09     | D-3 09 C18 | F-3 09 C1C | A-3 09 C18
        F-3 09     | D-3 09 C18 | A-2 09 C1C | D-3 09 C18
        F-3 09     | A-3 09 C18 | F-3 09 C1C | D-3 09 C18
        A-2 09     | D-3 09 C18 | F-3 09 C1C | E-3 09 C18 )"},
    {"p16_E", R"(
        G#2 09     | B-2 09 C18 | E-3 09 C1C | G#3 09 C18
        E-3 09     | B-2 09 C18 | G#2 09 C1C | B-2 09 C18
        E-3 09     | G#3 09 C18 | E-3 09 C1C | B-2 09 C18
        G#2 09     | B-2 09 C18 | E-3 09 C1C | D-3 09 C18 )"},
    {"p16_E_stop", R"(
        G#2 09     | B-2 09 C18 | E-3 09 C1C | G#3 09 C18
        E-3 09     | B-2 09 C18 | G#2 09 C1C | B-2 09 C18
        E-3 09     | G#3 09 C18 | E-3 09 C1C | B-2 09 C18
        --- .. C00 | .          | .          | .          )"},
    {"p8h_G", R"(
        G-2 09     | B-2 09 C18 | D-3 09 C1C | G-3 09 C18
        D-3 09     | B-2 09 C18 | G-2 09 C1C | B-2 09 C18 )"},
    // stabs: one power chord per credit line (Am, F, C)
    {"st_credit", R"(
        A-1 11 EC3 | .          | A-1 11 EC3 | A-1 11 EC3
        A-1 11 EC3 | .          | A-1 11 EC3 | .
        .          | A-1 11 EC3 | A-1 11 EC3 | .
        .          | .          | .          | .
        F-1 11 EC3 | F-1 11 EC3 | .          | .
        F-1 11 EC3 | .          | .          | .
        .          | .          | .          | .
        .          | .          | F-1 11 EC3 | F-1 11 EC3
        C-2 11 EC3 | C-2 11 EC3 | .          | C-2 11 EC3
        .          | .          | .          | .
        .          | .          | .          | .
        .          | .          | .          | .          )"},
    {"st_flash", R"(
        E-1 11 C20 | .          | .          | .
        E-3 09     | B-2 09 C18 | G#2 09 C1C | B-2 09 C18
        E-3 09     | G#3 09 C18 | E-3 09 C1C | B-2 09 C18
        G#2 09     | B-2 09 C18 | E-3 09 C1C | G#3 09 C18 )"},
    {"st_final", "A-1 11 C28 | . *3 | A-2 09 | . | C-3 09 | . | E-3 09 | . | A-3 09 | . *13"},

    // ---- lead: E40 restarts the vibrato with each note, 442 sways it ----
    {"t1", R"(
        A-2 08 E40 | .          | .          | C-3 08 E40
        .          | .          | E-3 08 E40 | .
        --- .. 442 | --- .. 442 | --- .. 442 | --- .. 442
        D-3 08 E40 | .          | C-3 08 E40 | .          )"},
    {"t2", R"(
        F-3 08 E40 | .          | --- .. 442 | --- .. 442
        --- .. 442 | --- .. 442 | E-3 08 E40 | .
        C-3 08 E40 | .          | --- .. 442 | --- .. 442
        A-2 08 E40 | .          | --- .. 442 | --- .. 442 )"},
    {"t3", R"(
        G-2 08 E40 | .          | .          | C-3 08 E40
        .          | .          | E-3 08 E40 | .
        --- .. 442 | --- .. 442 | --- .. 442 | --- .. 442
        F-3 08 E40 | .          | E-3 08 E40 | .          )"},
    {"t4", R"(
        D-3 08 E40 | .          | --- .. 442 | --- .. 442
        --- .. 442 | --- .. 442 | --- .. 442 | --- .. 442
        --- .. 442 | --- .. 442 | B-2 08 E40 | .
        G-2 08 E40 | .          | --- .. 442 | --- .. 442 )"},
    {"t4b", R"(
        D-3 08 E40 | .          | --- .. 442 | --- .. 442
        --- .. 442 | --- .. 442 | E-3 08 E40 | .
        G-3 08 E40 | .          | --- .. 442 | --- .. 442
        --- .. 442 | --- .. 442 | --- .. 442 | --- .. 442 )"},
    {"t5", R"(
        A-2 08 E40 | .          | .          | C-3 08 E40
        .          | .          | E-3 08 E40 | .
        --- .. 442 | --- .. 442 | --- .. 442 | --- .. 442
        D-3 08 E40 | .          | E-3 08 E40 | .          )"},
    {"t6", R"(
        A-3 08 E40 | .          | --- .. 442 | --- .. 442
        --- .. 442 | --- .. 442 | G-3 08 E40 | .
        F-3 08 E40 | .          | --- .. 442 | --- .. 442
        E-3 08 E40 | .          | F-3 08 E40 | .          )"},
    {"t7", R"(
        D-3 08 E40 | .          | --- .. 442 | --- .. 442
        --- .. 442 | --- .. 442 | E-3 08 E40 | .
        F-3 08 E40 | .          | --- .. 442 | --- .. 442
        E-3 08 E40 | .          | D-3 08 E40 | .          )"},
    {"t8", R"(
        B-2 08 E40 | .          | --- .. 442 | --- .. 442
        --- .. 443 | --- .. 443 | --- .. 443 | --- .. 443
        --- .. 443 | --- .. 443 | --- .. 443 | --- .. 443
        G#2 08 E40 | .          | --- .. 442 | --- .. 442 )"},
    // the teaser under the title fades away (6xy: vibrato with a fade)
    {"t_fade", R"(
        D-3 08 E40 | .          | --- .. 442 | --- .. 601
        --- .. 400 | --- .. 601 | --- .. 400 | --- .. 601
        --- .. 400 | --- .. 601 | --- .. 400 | --- .. 601
        --- .. 400 | --- .. 601 | --- .. 400 | --- .. 601 )"},
    // the build: one long note a bar, glided into with tone portamento
    {"r1", "A-2 08 E40 | . | --- .. 442 *14"},
    {"r2", "B-2 .. 304 | --- .. 300 | --- .. 442 *14"},
    {"r3", "C-3 .. 304 | --- .. 300 | --- .. 442 *14"},
    {"r4", "E-3 .. 306 | --- .. 300 | --- .. 442 *14"},
    {"r5", "F-3 .. 304 | --- .. 300 | --- .. 442 *14"},
    {"r6", "A-3 .. 306 | --- .. 300 | --- .. 442 *14"},
    {"r7", "G#3 .. 302 | --- .. 300 | --- .. 443 *14"},
    {"r8", "B-3 .. 303 | --- .. 300 | --- .. 443 *10 | --- .. C00 | . *3"},
    // the turn, softly (22 instead of 36), the last note faded out before
    // the hit
    {"v1", "A-2 08 C16 | . *5 | C-3 08 C16 | . | F-3 08 C16 | . | --- .. 442 *6"},
    {"v2", "E-3 08 C16 | . | --- .. 442 *4 | D-3 08 C16 | . | C-3 08 C16 | . | --- .. 442 *6"},
    {"v3", "D-3 08 C16 | . | --- .. 442 *4 | E-3 08 C16 | . | F-3 08 C16 | . | --- .. 442 *6"},
    {"v4", "G#2 08 C16 | . | --- .. 442 *4 | B-2 08 C16 | . | E-3 08 C16 | . | --- .. 442 *5 | --- .. 605"},
    // the cadence: G, E, and the last A left to ring
    // (each note eases off on its last row, 603: 36 to 21)
    {"f_g", "D-3 08 E40 | . | --- .. 442 | --- .. 603 | B-2 08 E40 | . | --- .. 442 | --- .. 603"},
    {"f_e", "B-2 08 E40 | . | --- .. 442 *6 | G#2 08 E40 | . | --- .. 442 *6"},
    // the last A fades out (601: 36 to 0 in eight rows), silent from row 58;
    // its echo three rows later
    {"f_a", "A-2 08 E40 | . | --- .. 442 *6 | --- .. 443 *2 | --- .. 601 *8 | . *6"},
};

// Per order entry, per channel: fragment references, each "name",
// "name+N" / "name-N" (transposed by N semitones), "_N" (N empty rows) or
// "echoN" (N rows filled from the lead, see add_echo).
struct OrderPlan {
    const char* scene;
    const char* ch[CHANNELS];
};

const OrderPlan PLAN[] = {
    {"tower: pad alone, breathing; Am F C G",
     {"sw_min sw_maj-7 sw_maj sw_maj-5", "_32 bell", "_64", "_64", "s_tempo", "_64", "k_tempo", "_64"}},
    {"tower: bass and broken chords join",
     {"sw_min sw_maj-7 sw_maj sw_maj-5", "p8_Am p8_F p8_C p8_G", "_64", "_64", "_64", "_64", "_64",
      "b_long b_long-4 b_long+3 b_long-2"}},
    {"title: a boom, the hook, then the riser",
     {"pm pM-7 pM pM_swell-5", "p8_Am p8_F p8_C p8_G", "h_crash _48", "echo32 riser", "_64",
      "t1 t2 t3 t_fade", "k_title _48", "b_long b_long-4 b_long+3 b_long-2"}},
    {"smoke: the beat enters, crashes on the bursts",
     {"pm pM-7 pM pM-5", "_64", "_64", "h_crash _16 h_crash _16", "s_back s_back s_back s_back", "_64",
      "k_groove k_groove k_groove k_groove", "b_riff b_riff-4 b_riff+3 b_riff-2"}},
    {"smoke: hats and chords",
     {"pm pM-7 pM pM-5", "p8_Am p8_F p8_C p8_G", "h8 h8 h8 h8", "h_crash _16 h_crash _16",
      "s_back s_back s_back s_back", "_64", "k_groove k_groove k_groove k_groove",
      "b_riff b_riff-4 b_riff+3 b_riff-2"}},
    {"circles: the full groove",
     {"pm pM-7 pM pM-5", "p16_Am p16_F p16_C p16_G", "h_crash16 h16 h16 h16",
      "chip_min chip_maj-7 chip_maj chip_maj_end-5", "s_back s_back s_back s_back", "_64",
      "k_groove k_groove k_groove k_groove", "b_riff b_riff-4 b_riff+3 b_riff-2"}},
    {"circles: the band hits the credit lines",
     {"pm_lo pM_lo-7 pM_lo pM-5", "st_credit p16_G", "h_crash_soft8 h_soft8 h_soft8 h16",
      "chip_out _47 chip_maj_end-5", "s_credit s_back", "_64", "k_credit k_groove", "b_credit b_riff-2"}},
    {"painting: the build, F G Am C, one layer at a time",
     {"pM_lo-7 pM_lo-5 pm pM_out", "_32 p8_Am p8_C", "_16 h8 h8 h8", "chip_out echo63",
      "_32 s_back s_eighths", "r1 r2 r3 r4", "k_four k_four k_four k_four",
      "b_riff-4 b_riff-2 b_riff b_riff+3"}},
    {"painting: Dm F, then E under the riser, a roll and a stop",
     {"pm+5 pM-7 pM_swell-8 pM-8", "p16_Dm p16_F p16_E p16_E_stop", "h16 h16 h_crash16 h16", "echo32 riser",
      "s_eighths s_eighths s_up s_roll", "r5 r6 r7 r8", "k_four k_four k_four k_stop",
      "b_pump+5 b_pump-4 b_pump-5 b_pump_stop-5"}},
    {"fade: the turn, F C Dm E, the calm before the mesh",
     {"sw_maj_soft-7 sw_maj_soft sw_min_soft+5 sw_maj_soft-8",
      "chip_maj_soft-7 chip_maj_soft chip_min_soft+5 chip_maj_soft-8", "_32 h_soft8 h_soft8", "echo64",
      "_48 s_fill", "v1 v2 v3 v4", "k_half_soft k_half_soft k_half_soft k_half_soft",
      "b_long_soft-4 b_long_soft+3 b_long_soft+5 b_long_soft-5"}},
    {"mesh: the theme, Am F C G",
     {"pm pM-7 pM pM-5", "p8_Am p8_F p8_C p8_G", "h_crash16 h16 h16 h16", "echo64",
      "s_back s_back s_back s_back", "t1 t2 t3 t4", "k_groove k_groove k_groove k_groove",
      "b_riff b_riff-4 b_riff+3 b_riff-2"}},
    {"mesh: the theme's answer, the bounce, the fall; Am F Dm E",
     {"pm pM_out-7 pm+5 pM_swell-8", "p8_Am p8_F p8_Dm _16", "h_crash16 h16 h16 _16", "echo64",
      "s_back s_back s_back _16", "t5 t6 t7 t8", "k_imp k_groove k_groove k_fall",
      "b_riff b_riff-4 b_riff+5 b_fall"}},
    {"crawl: the reprise",
     {"pm pM-7 pM pM-5", "p16_Am p16_F p16_C p16_G", "h_crash16 h16 h16 h16", "echo64",
      "s_back s_back s_back s_back", "t1 t2 t3 t4b", "k_groove k_groove k_groove k_groove",
      "b_riff b_riff-4 b_riff+3 b_riff-2"}},
    {"finale: F G E, the flash, and A minor to ring",
     {"pM-7 pM8_out-5 pM_swell-8 pm_final", "p16_F p8h_G st_flash st_final", "h16 h16_8 h_crash16 h_crash24",
      "echo64", "s_back s_b8 s_flash s_end", "t6 f_g f_e f_a", "k_groove k_q8 k_four k_end",
      "b_riff-4 b_riff8-2 b_pump-5 b_final"}},
    {"tail: silence after the last chord (never heard in the show)",
     {"_64", "_64", "_64", "_64", "_64", "_64", "_64", "_64"}},
};

std::vector<ScoreCell> expand(std::string_view ref, std::vector<bool>& echo_rows)
{
    auto digits = [&](std::string_view s) {
        int n = 0;
        for (char c : s) {
            if (c < '0' || c > '9')
                throw TextError("bad fragment reference " + std::string(ref));
            n = n * 10 + (c - '0');
        }
        return n;
    };
    if (ref.starts_with("_")) {
        int n = digits(ref.substr(1));
        echo_rows.insert(echo_rows.end(), n, false);
        return std::vector<ScoreCell>(n);
    }
    if (ref.starts_with("echo")) {
        int n = digits(ref.substr(4));
        echo_rows.insert(echo_rows.end(), n, true);
        return std::vector<ScoreCell>(n);
    }
    size_t sign = ref.find_first_of("+-");
    int transpose = 0;
    std::string name(ref.substr(0, sign));
    if (sign != std::string_view::npos) {
        transpose = digits(ref.substr(sign + 1));
        if (ref[sign] == '-')
            transpose = -transpose;
    }
    auto it = FRAGMENTS.find(name);
    if (it == FRAGMENTS.end())
        throw TextError("no fragment named " + name);
    try {
        auto cells = parse_track(it->second, transpose);
        echo_rows.insert(echo_rows.end(), cells.size(), false);
        return cells;
    } catch (const TextError& e) {
        throw TextError(name + ": " + e.what());
    }
}

std::vector<std::string_view> words_of(std::string_view s)
{
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && s[i] == ' ')
            ++i;
        size_t j = s.find(' ', i);
        if (j == std::string_view::npos)
            j = s.size();
        if (j > i)
            out.push_back(s.substr(i, j - i));
        i = j;
    }
    return out;
}

constexpr int ECHO_DELAY = 3;     // rows: a dotted eighth
constexpr int ECHO_PERCENT = 45;  // of the lead's volume
constexpr int LEAD_CHANNEL = 5;
constexpr int ECHO_CHANNEL = 3;

// The echo channel repeats the lead three rows later and quieter: notes
// keep their pitch and glides, the volume is written out with C, fades
// (6xy) become plain volume slides and the vibrato stays with the lead.
void add_echo(ScoreSong& song, const std::vector<std::vector<bool>>& echo_rows)
{
    int lead_volume = 0;
    std::vector<ScoreCell> delayed;  // the lead, row by row, as the echo will play it
    for (const Pattern& p : song.patterns) {
        for (const auto& row : p.rows) {
            ScoreCell c = row[LEAD_CHANNEL];
            if (c.sample)
                lead_volume = song.samples[c.sample - 1].volume;
            if (c.cmd == 0xC)
                lead_volume = c.param;
            ScoreCell e;
            e.note = c.note;
            e.sample = c.sample;
            if (c.cmd == 0x3) {
                e.cmd = 0x3;
                e.param = c.param;
            } else if (c.cmd == 0x6) {
                e.cmd = 0xA;
                e.param = c.param;
            }
            if (c.sample || c.cmd == 0xC) {
                e.cmd = 0xC;
                e.param = static_cast<uint8_t>((lead_volume * ECHO_PERCENT + 50) / 100);
            }
            delayed.push_back(e);
        }
    }
    for (size_t order = 0; order < song.patterns.size(); ++order) {
        for (int r = 0; r < ROWS; ++r) {
            if (!echo_rows[order][r])
                continue;
            long from = long(order) * ROWS + r - ECHO_DELAY;
            song.patterns[order].rows[r][ECHO_CHANNEL] = from >= 0 ? delayed[from] : ScoreCell{};
        }
    }
}

}  // namespace

ScoreSong build_song()
{
    ScoreSong song;
    song.title = "kirmavo";
    song.samples = make_samples();
    std::vector<std::vector<bool>> echo_rows;
    for (const OrderPlan& plan : PLAN) {
        Pattern p;
        std::vector<bool> echo_here(ROWS, false);
        for (int c = 0; c < CHANNELS; ++c) {
            std::vector<ScoreCell> track;
            std::vector<bool> echo;
            for (auto ref : words_of(plan.ch[c])) {
                auto cells = expand(ref, echo);
                track.insert(track.end(), cells.begin(), cells.end());
            }
            if (track.size() != ROWS)
                throw TextError(std::string(plan.scene) + ": channel " + std::to_string(c) + " has " +
                                std::to_string(track.size()) + " rows");
            for (int r = 0; r < ROWS; ++r)
                p.rows[r][c] = track[r];
            if (c == ECHO_CHANNEL)
                echo_here = echo;
            else if (std::find(echo.begin(), echo.end(), true) != echo.end())
                throw TextError(std::string(plan.scene) + ": echo outside its channel");
        }
        song.orders.push_back(static_cast<uint8_t>(song.patterns.size()));
        song.patterns.push_back(p);
        echo_rows.push_back(echo_here);
    }
    add_echo(song, echo_rows);
    return song;
}
