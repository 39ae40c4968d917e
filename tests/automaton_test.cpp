// The automaton without the library: the random source's sequence and scaling;
// the sweep's truncation and clamping in every vector width, the order of its sum,
// and the fast sweep against the plain reference sweep, which reads each weight's
// neighbour across the torus's seams one cell at a time; and the stagnation watch
// as the commit drives it: the count runs across the four probes, is tested at
// every cell, and only a changed reading lowers it.
#include <gtest/gtest.h>

#include <cstring>

#include "automaton/grid.h"
#include "automaton/random.h"
#include "automaton/rule.h"
#include "automaton/sweep.h"
#include "automaton/watch.h"
#include "reference/reference.h"

// Run `check` once with the sweep of each vector width this processor has.
template <class check_type> static void in_every_width(check_type check)
{
    for (int width = 0; width <= widest_sweep(); width++) {
        SCOPED_TRACE(testing::Message() << "sweep width " << width);
        chosen_sweep = static_cast<sweep_width>(width);
        check();
    }
    chosen_sweep = sweep_baseline;
}

// The cell's value times w0 times the gain, as the sweep truncates and clamps it.
TEST(LinearRule, SweepTruncatesTowardZeroThenClamps)
{
    const struct {
        const char *label;
        int32_t cell;
        float w0, gain;
        int32_t stored;
    } cases[] = {
        {"0.999 gives 0", 1, 0.999f, 1.0f, 0},
        {"-0.999 gives 0, not -1", 1, -0.999f, 1.0f, 0},
        {"255.9 gives 255", 1, 255.9f, 1.0f, 255},
        {"256 is clamped to 255", 1, 256.0f, 1.0f, 255},
        {"-3.5 is clamped to 0", 1, -3.5f, 1.0f, 0},
        {"a negative gain over non-negative weights gives 0", 9, 1.0f, -0.5f, 0},
        {"the all-zero rule gives 0", 255, 0.0f, 0.0f, 0},
        {"0.7 as a float is below 0.7: ten of it are 6.99999988", 10, 0.7f, 1.0f, 6},
        {"a product past 32 bits is 255", 255, 1e30f, 1e30f, 255},
        {"a product below -2^31 is 0", 255, 1e30f, -1e30f, 0},
        {"infinity times 0 is not a number, stored as 0", 255, 1e38f * 10, 0.0f, 0},
    };
    in_every_width([&] {
        for (const auto &c : cases) {
            SCOPED_TRACE(c.label);
            clear_world();
            current_grid[cell_index(40, 30)] = c.cell;
            rule_weights[0] = c.w0, rule_gain = c.gain;
            sweep_grid();
            EXPECT_EQ(next_grid[cell_index(40, 30)], c.stored);
        }
    });
}

TEST(LinearRule, SumsLeftToRightInDouble)
{
    // 2^60 + 255 rounds to 2^60 + 256 in double, and the third term takes 2^60
    // away again: in the stated order the sum is 256, in most others 255.
    const float weights[9] = {1152921504606846976.0f, 1.0f, -1152921504606846976.0f};
    in_every_width([&] {
        clear_world();
        memcpy(rule_weights, weights, sizeof weights), rule_gain = 0.5f;
        current_grid[cell_index(10, 10)] = 1;
        current_grid[cell_index(9, 10)] = 255;
        current_grid[cell_index(11, 10)] = 1;
        sweep_grid();
        EXPECT_EQ(next_grid[cell_index(10, 10)], 128);
    });
}

// The fast sweep gives the plain per-cell reference's result, cell for cell.
TEST(Sweep, MatchesThePlainSweepEverywhere)
{
    static int32_t expected[world_cells];
    seed_random(20261206);
    in_every_width([] {
        for (int trial = 0; trial < 60; trial++) {
            SCOPED_TRACE(trial);
            clear_world();
            seed_world();
            randomize_rule();
            if (trial % 4 == 1)
                std::fill(current_grid, current_grid + world_cells, 255); // all bright
            if (trial % 4 == 2)
                for (int m = 0; m < 4000; m++)
                    mutate_rule(); // weights drift far from -1..1
            if (trial % 4 == 3)
                for (float &w : rule_weights)
                    w *= 1e6f;
            reference_sweep(expected);
            sweep_grid();
            ASSERT_EQ(memcmp(expected, next_grid, sizeof expected), 0);
        }
    });
}

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

static void set_probe(int probe, int32_t value)
{
    next_grid[cell_index(probe_x[probe], probe_y[probe])] = value;
}

TEST(StagnationWatch, CountIsTestedAtEveryCellNotOnlyAtTheEnd)
{
    SCOPED_TRACE("a run already past the limit raises the flag at cell (0, 0)");
    clear_world();
    still_count = 21;
    set_probe(0, 9); // the first probe changes, so no probe reading passes the limit
    commit_grid();
    EXPECT_EQ(reseed_flag, 1);
    EXPECT_EQ(still_count, 3);

    SCOPED_TRACE("the limit passed mid-commit sticks though the count falls after");
    clear_world();
    still_count = 19;
    set_probe(3, 9);
    commit_grid(); // 20, 21 at probe 2: raised; probe 4 changes: 0
    EXPECT_EQ(reseed_flag, 1);
    EXPECT_EQ(still_count, 0);

    SCOPED_TRACE("at the limit itself nothing is raised");
    clear_world();
    still_count = 16;
    commit_grid();
    EXPECT_EQ(still_count, 20);
    EXPECT_EQ(reseed_flag, 0);
}

TEST(StagnationWatch, AWorldFrozenAwayFromZeroIsReseededToo)
{
    clear_world();
    for (int probe = 0; probe < probe_count; probe++)
        set_probe(probe, 200 + probe); // frozen at these from the first commit on
    int frame = 1;
    for (; frame <= 10 && !reseed_flag; frame++)
        commit_grid();
    EXPECT_EQ(frame - 1, 7) << "the readings of frame 1 are remembered, so the flag rises "
                               "in the sixth frame after them, the last change being at probe 4";
}
