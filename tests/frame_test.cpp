// The frame's seam: what a frame says it did, from the start-up story to keys held
// together, over a canvas that only notes the order of its phases; and the
// window's loop with Esc already down.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <string>

#include "app/frame.h"
#include "app/toy.h"
#include "automaton/grid.h"
#include "automaton/rule.h"
#include "automaton/watch.h"
#include "base/random.h"
#include "display/ramps.h"
#include "tests/headless.h"
#include "window/present.h"

// The drawing phases as letters: clear, paint, caption.
static std::string phases;
static const frame_canvas noting_canvas = {
    nullptr, [](void *) { phases += 'c'; }, [](void *, const int32_t *) { phases += 'p'; },
    [](void *) { phases += 't'; }};

static std::string did(const frame_result &r)
{
    return std::string(r.new_colors ? "C" : "") + (r.new_world ? "N" : "") +
           (r.nudged_rule ? "M" : "") + (r.watch_asked ? "w" : "");
}

TEST(Frame, TheStartUpStoryAsItsResultsTellIt)
{
    start_world(2026);
    std::string story;
    for (int frame = 1; frame <= 9; frame++)
        story += did(run_frame({}, noting_canvas)) + "|";
    EXPECT_EQ(story, "||||||Nw|Nw||") << "the watch's two reseeds, at frames 7 and 8";
    EXPECT_EQ(phases.substr(0, 6), "cptcpt") << "clear, paint, caption, in every frame";
}

TEST(Frame, KeysHeldTogetherActInOrderAndJoinTheWatch)
{
    start_world(7);
    const float ramp_before = red_ramp[200];
    reseed_flag = 1;
    const frame_result r = run_frame({true, true, true}, noting_canvas);
    EXPECT_EQ(did(r), "CNMw") << "one reseed for N and the flag together";
    EXPECT_EQ(reseed_flag, 0);
    EXPECT_NE(red_ramp[200], ramp_before);
    // A fresh rule lies on steps of 0.002; nudged once, its weights mostly do not.
    int off_the_steps = 0;
    for (float w : rule_weights)
        off_the_steps += std::abs(w * 500.0 - std::round(w * 500.0)) > 1e-3;
    EXPECT_GT(off_the_steps, 4);
    EXPECT_EQ(did(run_frame({}, noting_canvas)), "") << "no key, no flag: nothing";
}

TEST(FrameLoop, EscDownBeforeTheFirstFrameRunsNone)
{
    start_headless();
    BITMAP *buffer = start_toy(2026, LINCELL_FONT_FILE);
    key[KEY_ESC] = 1;
    const uint32_t state = random_state;
    run_frames(buffer); // headless there is no screen: a presented frame would crash
    key[KEY_ESC] = 0;
    EXPECT_EQ(random_state, state);
    EXPECT_EQ(still_count, 0) << "no commit ran";
    stop_toy(buffer);
}
