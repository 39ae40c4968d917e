// The stagnation watch as the commit drives it: the count runs across the four
// probes, is tested at every cell, and only a changed reading lowers it.
#include <gtest/gtest.h>

#include "automaton/grid.h"
#include "automaton/watch.h"
#include "tests/reference.h"

static void set_probe(int probe, int32_t value)
{
    next_grid[cell_index(probe_x[probe], probe_y[probe])] = value;
}

TEST(StagnationWatch, CountIsTestedAtEveryCellNotOnlyAtTheEnd)
{
    SCOPED_TRACE("a run already past the limit raises the flag at cell (0, 0)");
    reset_world();
    still_count = 21;
    set_probe(3, 9); // the last probe changes
    commit_grid();
    EXPECT_EQ(reseed_flag, 1);
    EXPECT_EQ(still_count, 0);

    SCOPED_TRACE("the limit passed mid-commit sticks though the count falls after");
    reset_world();
    still_count = 19;
    set_probe(3, 9);
    commit_grid(); // 20, 21 at probe 2: raised; probe 4 changes: 0
    EXPECT_EQ(reseed_flag, 1);
    EXPECT_EQ(still_count, 0);

    SCOPED_TRACE("at the limit itself nothing is raised");
    reset_world();
    still_count = 16;
    commit_grid();
    EXPECT_EQ(still_count, 20);
    EXPECT_EQ(reseed_flag, 0);
}

TEST(StagnationWatch, AWorldFrozenAwayFromZeroIsReseededToo)
{
    reset_world();
    for (int probe = 0; probe < probe_count; probe++)
        set_probe(probe, 200 + probe); // frozen at these from the first commit on
    int frame = 1;
    for (; frame <= 10 && !reseed_flag; frame++)
        commit_grid();
    EXPECT_EQ(frame - 1, 7) << "the readings of frame 1 are remembered, so the flag rises "
                               "in the sixth frame after them, the last change being at probe 4";
}

TEST(StagnationWatch, OneLivelyProbeKeepsTheWorldFromBeingReseeded)
{
    reset_world();
    for (int frame = 0; frame < 100; frame++) {
        set_probe(3, frame % 2 ? 10 : 20);
        commit_grid();
        ASSERT_LE(still_count, 3) << frame;
        ASSERT_EQ(reseed_flag, 0) << frame;
    }
}
