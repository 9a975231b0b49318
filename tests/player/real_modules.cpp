#include "tests/player/real_modules.h"

#include "tests/support/process.h"

#include <algorithm>
#include <filesystem>

std::vector<std::string> real_modules()
{
    const std::string dir = KIRMAVO_MOD_DIR;
    std::vector<std::string> out;
    Child fetch = process_start({"/bin/sh", KIRMAVO_FETCH_SCRIPT, dir}, ".");
    if (process_wait(fetch, 600000) != 0)  // ms: apt-get may be slow
        return out;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().extension() == ".mod")
            out.push_back(e.path().string());
    std::sort(out.begin(), out.end());
    return out;
}
