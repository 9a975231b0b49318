// The compatibility library's settings: set before SDL starts where the user
// has not set them, left as they are where the user has, even to nothing.
#include "app/sdl_hints.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

constexpr const char* SCALE = "SDL12COMPAT_SCALE_METHOD";
constexpr const char* VBLANK = "SDL12COMPAT_SYNC_TO_VBLANK";

std::string env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "(unset)";
}

TEST(SdlHints, SetWhereUnsetKeptWhereTheUserSetThem)
{
    unsetenv(SCALE);
    unsetenv(VBLANK);
    app_set_sdl_hints();
    EXPECT_EQ(env(SCALE), "nearest");
    EXPECT_EQ(env(VBLANK), "1");

    setenv(SCALE, "linear", 1);
    setenv(VBLANK, "", 1);
    app_set_sdl_hints();
    EXPECT_EQ(env(SCALE), "linear");
    EXPECT_EQ(env(VBLANK), "");

    // One set by the user, the other not.
    unsetenv(SCALE);
    setenv(VBLANK, "0", 1);
    app_set_sdl_hints();
    EXPECT_EQ(env(SCALE), "nearest");
    EXPECT_EQ(env(VBLANK), "0");
}

}  // namespace
