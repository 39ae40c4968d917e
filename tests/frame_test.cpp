// Whole frames, headless: the caption's place over the cells, N with the watch's
// flag raised, and the window's loop with Esc already down. The frame here is the very
// one the window runs.
#include <gtest/gtest.h>

#include <allegro.h>

#include "app/controls.h"
#include "app/frame.h"
#include "automaton/grid.h"
#include "automaton/rule.h"
#include "base/random.h"
#include "display/ramps.h"
#include "tests/headless.h"
#include "tests/reference.h"

class Frame : public testing::Test
{
  protected:
    BITMAP *buffer = nullptr;

    void SetUp() override
    {
        start_headless();
        reset_world();
        buffer = start_toy(2026, LINCELL_FONT_FILE);
        key[KEY_C] = key[KEY_N] = key[KEY_M] = key[KEY_ESC] = 0;
    }
    void TearDown() override
    {
        key[KEY_N] = key[KEY_ESC] = 0;
        stop_toy(buffer);
    }
    // The box of the caption's grey pixels: left, top, right, bottom.
    void caption_box(int box[4])
    {
        box[0] = 800, box[1] = 600, box[2] = -1, box[3] = -1;
        for (int y = 0; y < 600; y++)
            for (int x = 0; x < 800; x++)
                if (pixel_at(buffer, x, y) == makecol(128, 128, 128)) {
                    box[0] = std::min(box[0], x), box[1] = std::min(box[1], y);
                    box[2] = std::max(box[2], x), box[3] = std::max(box[3], y);
                }
    }
};

TEST_F(Frame, CaptionLiesOverTheCells)
{
    const float identity[9] = {1};
    set_rule(identity, 1.0f);
    std::fill(current_grid, current_grid + world_cells, 255);
    std::fill(red_ramp, red_ramp + ramp_size, 1.0f);
    run_frame(buffer);
    int box[4];
    caption_box(box);
    EXPECT_EQ(box[2], 778);
    EXPECT_EQ(pixel_at(buffer, 400, 300) >> 16, 255);
}

TEST_F(Frame, NHeldWithTheFlagRaisedReseedsOnce)
{
    key[KEY_N] = 1;
    reseed_flag = 1;
    seed_random(5);
    apply_controls();
    const uint32_t after_one_reseed = random_state;
    seed_random(5);
    for (int i = 0; i < world_cells + rule_taps + 1; i++)
        next_random();
    EXPECT_EQ(after_one_reseed, random_state);
    EXPECT_EQ(reseed_flag, 0);
    EXPECT_EQ(still_count, 0) << "the reseed leaves the count alone";
}

TEST_F(Frame, EscDownBeforeTheFirstFrameRunsNone)
{
    key[KEY_ESC] = 1;
    const uint32_t state = random_state;
    run_frames(buffer); // headless there is no screen: a presented frame would crash
    EXPECT_EQ(random_state, state);
    EXPECT_EQ(still_count, 0) << "no commit ran";
}
