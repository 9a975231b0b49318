// make_music OUT.mod [--report]: composes the soundtrack and writes it,
// after proving that it stays in key, that no arpeggio leaves its voice on
// a step, that no mix of its voices can wrap and that a strong note starts
// on every row the pictures react to (a cue that moves without the song
// fails the build). --report adds the worst-case level of every order
// entry and the notes that start on each cue row.
#include <cstdio>
#include <algorithm>
#include <cstring>

#include "core/music_pos.h"
#include "tools/music/mod_writer.h"
#include "tools/music/score.h"
#include "tools/music/song_checks.h"

int main(int argc, char** argv)
{
    bool report = argc == 3 && std::strcmp(argv[2], "--report") == 0;
    if (argc != 2 && !report) {
        std::fprintf(stderr, "usage: make_music OUT.mod [--report]\n");
        return 2;
    }
    try {
        ScoreSong song = build_song();
        auto wrong = key_violations(song, A_MINOR);
        for (const auto& v : wrong)
            std::fprintf(stderr, "out of key: order %d row %d channel %d note %s\n", v.order, v.row,
                         v.channel, note_name(v.note).c_str());
        auto held = held_arpeggio_steps(song);
        for (const auto& h : held)
            std::fprintf(stderr, "arpeggio step held: order %d row %d channel %d, %d semitones up\n", h.order,
                         h.row, h.channel, h.semitones);
        const std::vector<int> cues = show_cues();
        auto missed = missed_cues(song, cues);
        for (int pos : missed)
            std::fprintf(stderr, "cue %d (order %d row %d) starts no note of volume %d or more\n", pos,
                         music_pos_order(pos), music_pos_row(pos), CUE_NOTE_VOLUME);
        LevelBound bound = level_bound(song, int(song.orders.size()));
        if (report) {
            long before = 0;
            for (int o = 1; o <= int(song.orders.size()); ++o) {
                LevelBound b = level_bound(song, o);
                long top = std::max(b.first, b.second);
                if (top > before)
                    std::printf("order %2d: worst case %ld (row %d)\n", o - 1, top, b.row);
                before = std::max(before, top);
            }
            for (int pos : cues) {
                std::printf("cue %4d:", pos);
                for (const auto& n : note_starts(song, pos))
                    std::printf(" ch%d s%d v%d", n.channel, n.sample, n.volume);
                std::printf("\n");
            }
        }
        if (bound.first > 32767 || bound.second > 32767)
            std::fprintf(stderr, "level can wrap: %ld / %ld at order %d row %d\n", bound.first, bound.second,
                         bound.order, bound.row);
        bool failed =
            !wrong.empty() || !held.empty() || !missed.empty() || bound.first > 32767 || bound.second > 32767;
        if (failed && !report)
            return 1;  // a report still writes the file, to measure it
        auto bytes = mod_bytes(song);
        if (!write_file(argv[1], bytes)) {
            std::fprintf(stderr, "make_music: cannot write %s\n", argv[1]);
            return 1;
        }
        std::printf("music: %zu bytes, %zu orders, worst-case level %ld / %ld\n", bytes.size(),
                    song.orders.size(), bound.first, bound.second);
        if (failed)
            return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_music: %s\n", e.what());
        return 1;
    }
    return 0;
}
