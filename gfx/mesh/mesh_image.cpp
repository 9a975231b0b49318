#include "gfx/mesh/mesh_image.h"

#include "gfx/mesh/mesh_state.h"

bool mesh_check(std::span<const uint8_t> image)
{
    const int64_t words = int64_t(image.size() / 4);
    if (words < 2)
        return false;
    const int64_t n = mesh_word(image, 0);
    if (n < 0 || n > MESH_MAX_VERTICES || 3 * n + 2 > words)
        return false;
    const int64_t t = mesh_word(image, size_t(3 * n + 1));
    if (t < 0 || 3 * n + 2 + 3 * t > words)
        return false;
    for (int64_t i = 3 * n + 2; i < 3 * n + 2 + 3 * t; i++) {
        const int32_t index = mesh_word(image, size_t(i));
        if (index < 0 || index >= n)
            return false;
    }
    return true;
}
