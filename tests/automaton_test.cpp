// The linear rule and the sweep: each weight's neighbour across the torus's seams,
// truncation and clamping as the frame's own sweep does them in every vector width,
// the order of the sum, and the fast sweep against the plain one.
#include <gtest/gtest.h>

#include <cstring>

#include "automaton/grid.h"
#include "automaton/rule.h"
#include "automaton/sweep.h"
#include "base/random.h"
#include "tests/reference.h"

// Run `check` once with the sweep of each vector width this processor has.
template <class check_type> static void in_every_width(check_type check)
{
    for (int width = 0; width <= widest_sweep(); width++) {
        SCOPED_TRACE(testing::Message() << "sweep width " << width);
        sweep_version = static_cast<sweep_width>(width);
        check();
    }
    sweep_version = sweep_plain;
}

// Each weight reads one neighbour: with that weight alone at 1, a lone bright cell
// at (bx, by) shows up at (bx - dx, by - dy). At the corners this pins the wrap:
// (0, 0)'s left is (255, 0), above it (0, 191), above left (255, 191), and so on.
TEST(LinearRule, EachWeightReachesItsOwnNeighbour)
{
    const int offset[9][2] = {{0, 0}, {-1, 0},  {1, 0},  {0, -1}, {0, 1},
                              {1, 1}, {-1, -1}, {-1, 1}, {1, -1}};
    const int corners[][2] = {{0, 0}, {255, 0}, {0, 191}, {255, 191}, {100, 50}};
    for (int k = 0; k < 9; k++)
        for (const auto &at : corners) {
            SCOPED_TRACE(testing::Message()
                         << "w" << k << " bright cell at " << at[0] << "," << at[1]);
            reset_world();
            float weights[9] = {};
            weights[k] = 1.0f;
            set_rule(weights, 1.0f);
            current_grid[cell_index(at[0], at[1])] = 200;
            sweep_grid();
            const int tx = (at[0] - offset[k][0] + 256) % 256; // across the torus's seams
            const int ty = (at[1] - offset[k][1] + 192) % 192;
            EXPECT_EQ(next_grid[tx * 192 + ty], 200);
            EXPECT_EQ(std::count(next_grid, next_grid + world_cells, 0), world_cells - 1);
        }
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
            reset_world();
            current_grid[cell_index(40, 30)] = c.cell;
            const float weights[9] = {c.w0};
            set_rule(weights, c.gain);
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
        reset_world();
        set_rule(weights, 0.5f);
        current_grid[cell_index(10, 10)] = 1;
        current_grid[cell_index(9, 10)] = 255;
        current_grid[cell_index(11, 10)] = 1;
        sweep_grid();
        EXPECT_EQ(next_grid[cell_index(10, 10)], 128);
    });
}

// The fast sweep gives the plain per-cell transcription's result, cell for cell.
TEST(Sweep, MatchesThePlainSweepEverywhere)
{
    static int32_t expected[world_cells];
    seed_random(20261206);
    in_every_width([] {
        for (int trial = 0; trial < 60; trial++) {
            SCOPED_TRACE(trial);
            reset_world();
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
