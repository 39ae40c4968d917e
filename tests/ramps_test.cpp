// The colour ramps' numbers: the nine draws in their order and scaling, the
// sinusoids they make, and a channel drawn with a stretch of zero.
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

TEST(ColorRamps, EntriesLieInZeroToOne)
{
    seed_random(99);
    for (int g = 0; g < 50; g++) {
        generate_color_ramps();
        for (const float *ramp : {red_ramp, green_ramp, blue_ramp})
            for (int i = 0; i < ramp_size; i++)
                if (std::isfinite(ramp[i])) {
                    ASSERT_TRUE(ramp[i] >= 0.0f && ramp[i] <= 1.0f);
                }
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

TEST(ColorRamps, AZeroStretchDarkensOnlyItsChannel)
{
    // Find a seed whose red stretch draw is 1..9, which makes a stretch of 0.
    uint32_t seed = 0;
    for (;; seed++) {
        seed_random(seed);
        for (int skip = 0; skip < 3; skip++)
            next_random();
        if (random_in_range(1, 1000) / 10 == 0)
            break;
    }
    seed_random(seed);
    generate_color_ramps();
    for (int v = 0; v < ramp_size; v++) {
        EXPECT_FALSE(std::isfinite(red_ramp[v])) << v;
        EXPECT_EQ(ramp_level(v, red_ramp[v]), 0) << v;
        EXPECT_TRUE(std::isfinite(green_ramp[v]) && std::isfinite(blue_ramp[v])) << v;
    }
}
