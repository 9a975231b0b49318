#include "app/startup.h"

#include "gfx/mesh/mesh_image.h"
#include "sound/player/loader.h"
#include "sound/player/player_clock.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* MESH_FILE = "data/mesh.bare";
constexpr const char* MODULE_FILE = "data/music.mod";

int refused(StartupFailure* why, const char* file, const char* reason)
{
    if (why)
        *why = {file, reason};
    return 1;
}

}  // namespace

int startup_load(Show& show, std::span<uint8_t, MODULE_BYTES> module, int32_t& size, StartupFailure* why)
{
    if (const char* missing = assets_load_pictures(show.pictures)) {
        std::printf("Couldn't open pic: %s", missing);
        return 1;
    }
    if (!assets_read_mesh(MESH_FILE, show.mesh_data))
        return refused(why, MESH_FILE, std::strerror(errno));
    // A mesh the renderer can't draw safely is refused like a missing one.
    if (!mesh_check(show.mesh_data))
        return refused(why, MESH_FILE, "a count or a vertex index is out of range");
    build_effect_tables();
    size = assets_read_file(MODULE_FILE, module);
    return size < 0 ? refused(why, MODULE_FILE, std::strerror(errno)) : 0;
}

bool startup_hand_over(Show& show, std::span<uint8_t, MODULE_BYTES> module, int32_t size)
{
    // The show runs whether or not the module was taken.
    const bool taken = pt_load_module(module.data(), size_t(size)) == 1;
    show_prepare_work(show);
    return taken;
}

void startup_first_position()
{
    // -1 until the first poll, which gives 0 while no row has been heard yet.
    pt_poll_position();
    while (uint32_t(pt_get_position()) > 100)
        pt_poll_position();
}
