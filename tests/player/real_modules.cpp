#include "tests/player/real_modules.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

std::vector<std::string> real_modules()
{
    const std::string dir = KIRMAVO_MOD_DIR;
    const std::string cmd = std::string("sh '") + KIRMAVO_FETCH_SCRIPT + "' '" + dir + "'";
    std::vector<std::string> out;
    if (std::system(cmd.c_str()) != 0)
        return out;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().extension() == ".mod")
            out.push_back(e.path().string());
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<uint8_t> read_file(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}
