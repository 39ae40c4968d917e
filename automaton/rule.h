// The linear rule: a cell's next value is the weighted sum of its 3 x 3
// neighbourhood times a gain, truncated toward zero and clamped to 0..255.
// Sums are taken in double precision in the weights' order w0..w8.
#pragma once

#include <cstdint>

#include "automaton/world.h"

// trunc(v) as a 32-bit integer, saturating at the type's ends; not-a-number gives 0.
inline int32_t truncate_product(double v)
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

// The rule's weighted sum of one neighbourhood, before the gain, in w0..w8 order.
inline double weigh_neighbourhood(double center, double left, double right, double above,
                                  double below, double below_right, double above_left,
                                  double below_left, double above_right)
{
    double s = center * static_cast<double>(rule_weights[0]);
    s = s + left * static_cast<double>(rule_weights[1]);
    s = s + right * static_cast<double>(rule_weights[2]);
    s = s + above * static_cast<double>(rule_weights[3]);
    s = s + below * static_cast<double>(rule_weights[4]);
    s = s + below_right * static_cast<double>(rule_weights[5]);
    s = s + above_left * static_cast<double>(rule_weights[6]);
    s = s + below_left * static_cast<double>(rule_weights[7]);
    s = s + above_right * static_cast<double>(rule_weights[8]);
    return s;
}

// The rule applied to one neighbourhood of current_grid; not yet clamped.
int32_t evaluate_rule(int32_t center, int32_t left, int32_t right, int32_t above, int32_t below,
                      int32_t below_right, int32_t above_left, int32_t below_left,
                      int32_t above_right);

// Draw a new rule: w0..w8 then the gain, each -1..1 in steps of 0.002.
void randomize_rule();

// Nudge w0..w8 then the gain, each by -0.05..0.05 in steps of 0.0001; no bounds.
void mutate_rule();
