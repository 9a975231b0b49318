#include "tools/timeline/timeline.h"

#include <xmp.h>

#include "core/sound_rates.h"
#include "sound/mixer/mixer.h"
#include "sound/mixer/sound_driver.h"
#include "sound/player/loader.h"
#include "sound/player/player_state.h"
#include "sound/player/tick.h"

namespace {

// Appends one tick at (order, row); a tick at a new position, or the first
// tick of a row that repeats (a loop or a freeze), opens a new row.
void add_tick(std::vector<TimelineRow>& out, int32_t order, int32_t row, bool first_tick, int32_t tempo)
{
    if (!first_tick && !out.empty() && out.back().order == order && out.back().row == row) {
        ++out.back().ticks;
        return;
    }
    out.push_back({order, row, 1, tempo});
}

}  // namespace

std::vector<TimelineRow> our_timeline(const std::vector<uint8_t>& image, int32_t max_ticks)
{
    std::vector<uint8_t> copy = image;
    std::vector<TimelineRow> out;
    // The engine runs on the null back-end; its mixer hears the copy's
    // samples, so it forgets them before the copy goes.
    const SoundDriver saved = sound_driver;
    sound_driver_reset();
    pt_state_reset();
    if (pt_load_module(copy.data(), copy.size())) {
        const PlayerState& st = pt_state();
        for (int32_t i = 0; i < max_ticks; ++i) {
            // A tick of a row held by a pattern delay counts to that row.
            const bool new_row = pt_next_tick_starts_row();
            pt_tick();
            add_tick(out, st.play.playing_order, st.play.playing_row, new_row, st.play.tempo);
        }
    }
    pt_state_reset();
    mixer_init(mixer_view().mix_rate, saved.buffer_frames);
    sound_driver = saved;
    return out;
}

std::vector<TimelineRow> peer_timeline(const std::vector<uint8_t>& image, int32_t max_ticks, int32_t loops)
{
    std::vector<TimelineRow> out;
    xmp_context ctx = xmp_create_context();
    std::vector<uint8_t> copy = image;
    if (xmp_load_module_from_memory(ctx, copy.data(), static_cast<long>(copy.size())) == 0) {
        if (xmp_start_player(ctx, SAMPLE_RATE, 0) == 0) {
            xmp_frame_info fi;
            for (int32_t i = 0; i < max_ticks; ++i) {
                if (xmp_play_frame(ctx) != 0)
                    break;
                xmp_get_frame_info(ctx, &fi);
                if (fi.loop_count > loops)
                    break;
                add_tick(out, fi.pos, fi.row, fi.frame == 0, fi.bpm);
            }
            xmp_end_player(ctx);
        }
        xmp_release_module(ctx);
    }
    xmp_free_context(ctx);
    return out;
}

bool compare_timelines(const std::vector<TimelineRow>& ours, const std::vector<TimelineRow>& peer,
                       std::string& report)
{
    const size_t n = ours.size() < peer.size() ? ours.size() : peer.size();
    auto text = [](const TimelineRow& r) {
        return "(" + std::to_string(r.order) + ", " + std::to_string(r.row) + ") " + std::to_string(r.ticks) +
               " ticks at tempo " + std::to_string(r.tempo);
    };
    for (size_t i = 0; i < n; ++i) {
        if (ours[i] == peer[i])
            continue;
        // The last row compared may be cut short by the end of either run.
        if (i + 1 == n && ours[i].order == peer[i].order && ours[i].row == peer[i].row)
            break;
        report = "row " + std::to_string(i) + ": ours " + text(ours[i]) + ", peer " + text(peer[i]);
        return false;
    }
    report = "same for " + std::to_string(n) + " rows";
    return true;
}
