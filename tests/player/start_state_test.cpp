// The player as the program finds it: nothing may have reset it first, so
// this binary holds this one case only.
#include "sound/player/player_state.h"

#include <gtest/gtest.h>

TEST(PlayerStartState, DefaultPansAreSetBeforeAnyReset)
{
    const auto& pan = pt_state().default_pan;
    EXPECT_EQ(pan[0], 4);
    EXPECT_EQ(pan[1], 12);
    EXPECT_EQ(pan[2], 5);
    EXPECT_EQ(pan[3], 11);
    EXPECT_EQ(pan[8], 1);
    EXPECT_EQ(pan[31], 7);
}
