// The random source: the pinned generator's sequence and the scaling of a draw.
#include <gtest/gtest.h>

#include "base/random.h"

TEST(RandomSource, SeedOneGivesTheCStandardExampleSequence)
{
    // The sequence the C standard's portable rand() prints from srand(1).
    const int expected[] = {16838, 5758, 10113, 17515, 31051, 5627, 23010, 7419, 16212, 4086};
    seed_random(1);
    for (int want : expected)
        EXPECT_EQ(next_random(), want);
}

TEST(RandomScaling, EndsOfTheDrawGiveTheEndsOfTheRange)
{
    const int ranges[][2] = {{0, 255}, {0, 1000}, {0, 100}, {1, 1000}, {0, 2}, {7, 7}};
    for (const auto &range : ranges) {
        SCOPED_TRACE(testing::Message() << range[0] << ".." << range[1]);
        EXPECT_EQ(scale_random(0, range[0], range[1]), range[0]);
        EXPECT_EQ(scale_random(32767, range[0], range[1]), range[1]);
        EXPECT_LT(scale_random(32766, range[0], range[1]), range[1] + (range[0] == range[1]));
    }
}

TEST(RandomScaling, EveryDrawOfZeroToTwo)
{
    int counts[3] = {0, 0, 0};
    for (int r = 0; r <= 32767; r++)
        counts[scale_random(r, 0, 2)]++;
    EXPECT_EQ(counts[0], 16384);
    EXPECT_EQ(counts[1], 16383);
    EXPECT_EQ(counts[2], 1);
    EXPECT_EQ(scale_random(16383, 0, 2), 0);
    EXPECT_EQ(scale_random(16384, 0, 2), 1);
}
