// The one place that knows where the show's data lives. The developer build
// reads data/ in the working directory; a build for installing is given its
// installed folder, an absolute path, and reads nothing else: an unrelated
// data/ wherever the program is started must not stand in for it.
#include "app/assets.h"

#ifndef KIRMAVO_DATA_FOLDER
#define KIRMAVO_DATA_FOLDER "data"
#endif

std::string assets_data_path(const char* name)
{
    return std::string(KIRMAVO_DATA_FOLDER) + "/" + name;
}
