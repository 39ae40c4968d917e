// The world grid, the linear rule and the sweep: addressing on the torus, the
// rule's arithmetic to the last bit, and the fast sweep against the plain one.
#include <gtest/gtest.h>

#include <cstring>

#include "base/random.h"
#include "automaton/grid.h"
#include "automaton/rule.h"
#include "automaton/sweep.h"
#include "tests/reference.h"

TEST(WorldGrid, IsColumnMajor)
{
    EXPECT_EQ(cell_index(0, 1), 1);
    EXPECT_EQ(cell_index(1, 0), 192);
    EXPECT_EQ(cell_index(255, 191), world_cells - 1);
}

TEST(WorldGrid, SeedingFillsXOuterYInnerFromTheRandomSource)
{
    reset_world();
    seed_random(1);
    seed_world();
    // The first draws of seed 1 are 16838 and 5758: cells (0, 0) and (0, 1).
    EXPECT_EQ(current_grid[cell_index(0, 0)], 131); // trunc(16838 / 32767 * 255)
    EXPECT_EQ(current_grid[cell_index(0, 1)], 44);  // trunc(5758 / 32767 * 255)
    for (int32_t v : current_grid)
        ASSERT_TRUE(v >= 0 && v <= 255);
    for (int32_t v : next_grid)
        ASSERT_EQ(v, 0); // the next grid is not touched
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
            EXPECT_EQ(next_grid[cell_index(tx, ty)], 200);
            int lit = 0;
            for (int32_t v : next_grid)
                lit += v != 0;
            EXPECT_EQ(lit, 1);
        }
}

TEST(LinearRule, TruncatesTowardZeroThenClamps)
{
    reset_world();
    struct {
        const char *label;
        float w0;
        int32_t raw, clamped;
    } cases[] = {
        {"0.999", 0.999f, 0, 0},     {"-0.999", -0.999f, 0, 0}, {"255.9", 255.9f, 255, 255},
        {"256.0", 256.0f, 256, 255}, {"-3.5", -3.5f, -3, 0},    {"1.0", 1.0f, 1, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        rule_weights[0] = c.w0;
        rule_gain = 1.0f;
        const int32_t raw = evaluate_rule(1, 0, 0, 0, 0, 0, 0, 0, 0);
        EXPECT_EQ(raw, c.raw);
        EXPECT_EQ(clamp_cell(raw), c.clamped);
    }
}

TEST(LinearRule, ZeroRuleAndNegativeGain)
{
    reset_world();
    EXPECT_EQ(evaluate_rule(255, 255, 255, 255, 255, 255, 255, 255, 255), 0);
    const float ones[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    set_rule(ones, -0.5f);
    EXPECT_EQ(clamp_cell(evaluate_rule(9, 9, 9, 9, 9, 9, 9, 9, 9)), 0);
}

TEST(LinearRule, SumsLeftToRightInDouble)
{
    // 2^60 + 255 rounds to 2^60 + 256 in double, and the third term takes 2^60
    // away again: in the stated order the sum is 256, in most others 255.
    reset_world();
    const float weights[9] = {1152921504606846976.0f, 1.0f, -1152921504606846976.0f};
    set_rule(weights, 0.5f);
    EXPECT_EQ(evaluate_rule(1, 255, 1, 0, 0, 0, 0, 0, 0), 128);

    // The sweep sums in the same order.
    current_grid[cell_index(10, 10)] = 1;
    current_grid[cell_index(9, 10)] = 255;
    current_grid[cell_index(11, 10)] = 1;
    sweep_grid();
    EXPECT_EQ(next_grid[cell_index(10, 10)], 128);
}

TEST(LinearRule, WeightsAreSinglePrecision)
{
    // 0.7 as a float is just below 0.7: ten of it make 6.99999988, truncated to 6.
    // Held in double the product would round to 7.
    reset_world();
    rule_weights[0] = 0.7;
    rule_gain = 1.0;
    EXPECT_EQ(evaluate_rule(10, 0, 0, 0, 0, 0, 0, 0, 0), 6);
}

TEST(LinearRule, HugeProductsSaturateInsteadOfOverflowing)
{
    reset_world();
    rule_weights[0] = 1e30f;
    rule_gain = 1e30f;
    EXPECT_EQ(evaluate_rule(255, 0, 0, 0, 0, 0, 0, 0, 0), INT32_MAX);
    rule_gain = -1e30f;
    EXPECT_EQ(evaluate_rule(255, 0, 0, 0, 0, 0, 0, 0, 0), INT32_MIN);
    EXPECT_EQ(clamp_cell(INT32_MIN), 0);
    rule_weights[0] = 3e9f; // just past the 32-bit range
    rule_gain = 1.0f;
    EXPECT_EQ(evaluate_rule(1, 0, 0, 0, 0, 0, 0, 0, 0), INT32_MAX);
}

// The first ten draws of seed 1 scale to these values of random_in_range(0, 1000).
static const int seed_one_draws[10] = {513, 175, 308, 534, 947, 171, 702, 226, 494, 124};

TEST(LinearRule, RandomizeDrawsW0ToW8ThenGain)
{
    reset_world();
    seed_random(1);
    randomize_rule();
    for (int i = 0; i < 9; i++)
        EXPECT_EQ(rule_weights[i], static_cast<float>(seed_one_draws[i] / 500.0 - 1.0)) << i;
    EXPECT_EQ(rule_gain, static_cast<float>(seed_one_draws[9] / 500.0 - 1.0));
    EXPECT_EQ(next_random(), 2749) << "ten draws and no more: this is seed 1's eleventh";
}

TEST(LinearRule, MutateNudgesEachParameterAndHasNoBounds)
{
    reset_world();
    rule_weights[0] = 5.0f; // far outside -1..1 already
    seed_random(1);
    mutate_rule();
    EXPECT_EQ(rule_weights[0], static_cast<float>(5.0 + (seed_one_draws[0] / 10000.0 - 0.05)));
    for (int i = 1; i < 9; i++)
        EXPECT_EQ(rule_weights[i], static_cast<float>(seed_one_draws[i] / 10000.0 - 0.05)) << i;
    EXPECT_EQ(rule_gain, static_cast<float>(seed_one_draws[9] / 10000.0 - 0.05));
    EXPECT_EQ(next_random(), 2749) << "ten draws and no more";
}

// The fast sweep gives the plain per-cell transcription's result, cell for cell,
// in every vector width this processor can run.
TEST(Sweep, MatchesThePlainSweepEverywhere)
{
    static int32_t expected[world_cells];
    seed_random(20261206);
    const int versions = widest_sweep() + 1;
    for (int trial = 0; trial < 60 * versions; trial++) {
        sweep_version = static_cast<sweep_width>(trial % versions);
        SCOPED_TRACE(testing::Message() << "trial " << trial << ", sweep width " << sweep_version);
        reset_world();
        seed_world();
        randomize_rule();
        if (trial / versions % 4 == 1)
            for (int32_t &v : current_grid)
                v = 255; // all bright
        if (trial / versions % 4 == 2)
            for (int m = 0; m < 4000; m++)
                mutate_rule(); // weights drift far from -1..1
        if (trial / versions % 4 == 3)
            for (float &w : rule_weights)
                w *= 1e6f;
        reference_sweep(expected);
        sweep_grid();
        ASSERT_EQ(memcmp(expected, next_grid, sizeof expected), 0);
    }
    sweep_version = sweep_plain;
}
