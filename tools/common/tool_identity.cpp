#include "tools/common/tool_identity.h"

#include <cstdio>
#include <cstring>

const char* tool_name(const char* argv0, const char* fallback)
{
    if (!argv0)
        return fallback;
    const char* slash = std::strrchr(argv0, '/');
    const char* name = slash ? slash + 1 : argv0;
    return *name ? name : fallback;
}

void tool_print_version(const char* name)
{
    std::printf("%s (Kirmavo) %s\n", name, KIRMAVO_VERSION);
}
