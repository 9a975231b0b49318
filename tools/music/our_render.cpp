#include "our_render.h"

#include <algorithm>
#include <cstdlib>

#include "loader.h"
#include "mixer.h"
#include "null_audio.h"
#include "player_state.h"
#include "sound_driver.h"
#include "tick.h"

Rendering render_ours(const std::vector<uint8_t>& image, int orders, int master) {
    Rendering out;
    std::vector<uint8_t> copy = image;  // the loader converts patterns in place
    sound_driver_reset();
    mixer_reset();
    pt_state_reset();
    null_audio_install(44100, 4096);
    sound_driver.init(44100, sound_driver.buffer_frames);
    sound_driver.set_master_volume(master);
    sound_driver.start();
    if (!pt_load_module(copy.data(), copy.size())) return out;
    out.loaded = true;
    const PlayerState& st = pt_state();
    long frame = 0;
    for (;;) {
        pt_tick();
        if (st.play.tick == 0) {
            // Stop at the first row past the last wanted entry, or when the
            // song wraps back to its restart position.
            if (st.play.playing_order >= orders ||
                (!out.rows.empty() && st.play.playing_order < out.rows.back().order))
                break;
            out.rows.push_back({st.play.playing_order, st.play.playing_row, frame});
        }
        const int32_t n = 5512500 / (50 * st.play.tempo);
        out.samples.resize(out.samples.size() + 2 * size_t(n), 0);
        mixer_mix(out.samples.data() + 2 * frame, n);
        frame += n;
    }
    return out;
}

long count_wraps(const Rendering& full, const Rendering& half) {
    long wraps = 0;
    size_t n = std::min(full.samples.size(), half.samples.size()) / 2;
    for (size_t i = 0; i < n; ++i) {
        bool wrapped = false;
        for (int c = 0; c < 2; ++c) {
            long a = full.samples[2 * i + c], b = 2L * half.samples[2 * i + c];
            if (std::labs(a - b) > 16384) wrapped = true;
        }
        wraps += wrapped;
    }
    return wraps;
}
