// The frame's seams, headless: the controls with the watch's flag raised, and
// the window's loop with Esc already down.
#include <gtest/gtest.h>

#include <allegro.h>

#include "app/controls.h"
#include "app/toy.h"
#include "automaton/grid.h"
#include "automaton/rule.h"
#include "automaton/watch.h"
#include "base/random.h"
#include "tests/headless.h"
#include "tests/reference.h"
#include "window/present.h"

TEST(Controls, NHeldWithTheFlagRaisedReseedsOnce)
{
    clear_world();
    reseed_flag = 1;
    seed_random(5);
    const frame_result done = apply_controls({false, true, false});
    const uint32_t after_one_reseed = random_state;
    seed_random(5);
    for (int i = 0; i < world_cells + rule_taps + 1; i++)
        next_random();
    EXPECT_EQ(after_one_reseed, random_state);
    EXPECT_EQ(reseed_flag, 0);
    EXPECT_EQ(still_count, 0) << "the reseed leaves the count alone";
    EXPECT_TRUE(done.new_world && done.watch_asked);
    EXPECT_FALSE(done.new_colors || done.nudged_rule);
}

TEST(FrameLoop, EscDownBeforeTheFirstFrameRunsNone)
{
    start_headless();
    clear_world();
    BITMAP *buffer = start_toy(2026, LINCELL_FONT_FILE);
    key[KEY_ESC] = 1;
    const uint32_t state = random_state;
    run_frames(buffer); // headless there is no screen: a presented frame would crash
    key[KEY_ESC] = 0;
    EXPECT_EQ(random_state, state);
    EXPECT_EQ(still_count, 0) << "no commit ran";
    stop_toy(buffer);
}
