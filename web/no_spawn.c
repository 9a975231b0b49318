// capture under node: node's runtime has no way to start a process, so
// posix_spawnp fails as a system without it would, and capture --video says
// it cannot start ffmpeg.
#include <errno.h>
#include <spawn.h>

int posix_spawnp(pid_t* pid, const char* file, const posix_spawn_file_actions_t* actions,
                 const posix_spawnattr_t* attributes, char* const arguments[], char* const environment[])
{
    (void)pid, (void)file, (void)actions, (void)attributes, (void)arguments, (void)environment;
    return ENOSYS;
}
