// The stagnation watch: four probe cells at the quarter points of the world are
// compared with their last reading as the commit copies them; a long run of
// unchanged readings raises reseed_flag for the next frame's controls.
#pragma once

#include "automaton/world.h"

// A run of more unchanged readings than this asks for a reseed.
constexpr int still_limit = 20;

// The probes' coordinates, in the order the commit reaches them (x outer, y inner).
constexpr int probe_x[probe_count] = {64, 64, 192, 192};
constexpr int probe_y[probe_count] = {48, 144, 48, 144};

// Which probe sits at (x, y), 0..3, or -1 for an ordinary cell.
inline int probe_at(int x, int y)
{
    if ((x != 64 && x != 192) || (y != 48 && y != 144))
        return -1;
    return (x == 192 ? 2 : 0) + (y == 144 ? 1 : 0);
}

// Examine cell (x, y) right after the commit copied `value` into it. The count is
// tested at every cell, so a run already past the limit raises the flag at (0, 0);
// an ordinary cell only tests it.
inline void watch_cell(int x, int y, int32_t value)
{
    const int probe = probe_at(x, y);
    if (probe >= 0) {
        if (value == probe_last[probe]) {
            still_count++;
        } else {
            probe_last[probe] = value;
            still_count = 0;
        }
    }
    if (still_count > still_limit)
        reseed_flag = 1;
}
