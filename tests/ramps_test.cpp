// The colour ramps' numbers: the nine draws in their order and scaling, the
// sinusoids they make, and a channel's level from its factor (a zero stretch's
// factors, which are not numbers, give 0; the pinned recordings show one).
#include <gtest/gtest.h>

#include <cmath>

#include "base/random.h"
#include "display/ramps.h"

TEST(ColorRamps, DrawsPhasesThenStretchesThenWaves)
{
    // Seed 1's first nine draws give phases 5.1, 1.7, 3.0; stretches 53, 94, 17
    // (whole numbers: the draw is divided by 10 as an integer); waves 1, 0, 0.
    seed_random(1);
    generate_color_ramps();
    for (int i = 0; i < ramp_size; i++) {
        SCOPED_TRACE(i);
        ASSERT_EQ(red_ramp[i], static_cast<float>(std::sin(i / 53.0 + 5.1f) / 2.0 + 0.5));
        ASSERT_EQ(green_ramp[i], static_cast<float>(std::cos(i / 94.0 + 1.7f) / 2.0 + 0.5));
        ASSERT_EQ(blue_ramp[i], static_cast<float>(std::cos(i / 17.0 + 3.0f) / 2.0 + 0.5));
    }
}

TEST(ColorRamps, ChannelLevelTruncates)
{
    EXPECT_EQ(ramp_level(0, 0.7f), 0);
    EXPECT_EQ(ramp_level(255, 1.0f), 255);
    EXPECT_EQ(ramp_level(255, 0.5f), 127);
    EXPECT_EQ(ramp_level(3, 0.999f), 2);
    EXPECT_EQ(ramp_level(200, NAN), 0);
    EXPECT_EQ(ramp_level(200, INFINITY), 0);
}
