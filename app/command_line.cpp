#include "app/command_line.h"

#include <cstring>

bool app_windowed(int argc, const char* const* argv)
{
    if (argc > 0 && argv[0]) {
        const size_t length = std::strlen(argv[0]);
        if (length > 0 && argv[0][length - 1] == 'w')
            return true;
    }
    for (int i = 1; i < argc; i++)
        if (argv[i] && std::strcmp(argv[i], "-w") == 0)
            return true;
    return false;
}
