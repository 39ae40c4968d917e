// The linear rule: a cell's next value is the weighted sum of its 3 x 3
// neighbourhood times a gain, truncated toward zero and clamped to 0..255.
// Sums are taken in double precision in the weights' order w0..w8.
#pragma once

#include <cstdint>

#include "automaton/world.h"

// trunc(v) as a 32-bit integer, saturating at the type's ends; not-a-number gives 0.
inline int32_t truncate_to_int32(double v)
{
    if (v != v)
        return 0;
    if (v >= 2147483648.0)
        return INT32_MAX;
    if (v <= -2147483649.0)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

// A result of 0 or less becomes 0, one above 255 becomes 255.
inline int32_t clamp_cell(int32_t v)
{
    return v <= 0 ? 0 : v > 255 ? 255 : v;
}

// Pick a new rule at random: w0..w8 then the gain, each -1..1 in steps of 0.002.
void randomize_rule();

// Nudge w0..w8 then the gain, each by -0.05..0.05 in steps of 0.0001; no bounds.
void mutate_rule();
