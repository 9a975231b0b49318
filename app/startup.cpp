#include "app/startup.h"

#include "gfx/mesh/mesh_image.h"
#include "sound/player/loader.h"
#include "sound/player/player_clock.h"

#include <cstdio>

int startup_load(Show& show, std::span<uint8_t, MODULE_BYTES> module, int32_t& size)
{
    if (const char* missing = assets_load_pictures(show.pictures)) {
        std::printf("Couldn't open pic: %s", missing);
        return 1;
    }
    // A mesh the renderer can't draw safely is refused like a missing one.
    if (!assets_read_mesh("data/mesh.bare", show.mesh_data) || !mesh_check(show.mesh_data))
        return 1;
    build_effect_tables();
    size = assets_read_file("data/music.mod", module);
    return size < 0 ? 1 : 0;
}

void startup_hand_over(Show& show, std::span<uint8_t, MODULE_BYTES> module, int32_t size)
{
    // The show runs whether or not the module was taken.
    pt_load_module(module.data(), size_t(size));
    show_prepare_work(show);
}

void startup_first_position()
{
    // -1 until the first poll, which gives 0 while no row has been heard yet.
    pt_poll_position();
    while (uint32_t(pt_get_position()) > 100)
        pt_poll_position();
}
