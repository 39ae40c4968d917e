// The window's loop with Esc already down: no frame runs.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <string>

#include "allegro4/headless.h"
#include "allegro4/toy.h"
#include "automaton/grid.h"
#include "automaton/random.h"
#include "automaton/rule.h"
#include "automaton/watch.h"
#include "core/frame.h"
#include "core/ramps.h"
#include "window/present.h"

TEST(FrameLoop, EscDownBeforeTheFirstFrameRunsNone)
{
    start_headless_allegro();
    start_world(2026);
    BITMAP *buffer = start_toy(LINCELL_FONT_FILE);
    key[KEY_ESC] = 1;
    const uint32_t state = random_state;
    run_frames(buffer); // headless there is no screen: a presented frame would crash
    key[KEY_ESC] = 0;
    EXPECT_EQ(random_state, state);
    EXPECT_EQ(still_count, 0) << "no commit ran";
    destroy_back_buffer(buffer);
}
