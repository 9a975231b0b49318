#include "app/startup.h"

#include "gfx/mesh/mesh_image.h"
#include "sound/player/loader.h"
#include "sound/player/player_clock.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

int refused(StartupFailure* why, const std::string& file, const char* reason)
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
    const std::string mesh_file = assets_data_path("mesh.bare");
    if (!assets_read_mesh(mesh_file.c_str(), show.mesh_data))
        return refused(why, mesh_file, std::strerror(errno));
    // A mesh the renderer can't draw safely is refused like a missing one.
    if (!mesh_check(show.mesh_data))
        return refused(why, mesh_file, "a count or a vertex index is out of range");
    build_effect_tables();
    const std::string module_file = assets_data_path("music.mod");
    size = assets_read_file(module_file.c_str(), module);
    return size < 0 ? refused(why, module_file, std::strerror(errno)) : 0;
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
