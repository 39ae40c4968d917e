// The plain sweep and a fresh world, for the tests and the benchmarks to measure against.
#include "reference/reference.h"

#include <cstring>

#include "automaton/grid.h"
#include "automaton/rule.h"
#include "automaton/sweep.h"

int wrap_x(int i)
{
    return i < 0 ? i + world_width : i >= world_width ? i - world_width : i;
}

int wrap_y(int i)
{
    return i < 0 ? i + world_height : i >= world_height ? i - world_height : i;
}

int32_t evaluate_rule(int32_t center, int32_t left, int32_t right, int32_t above, int32_t below,
                      int32_t below_right, int32_t above_left, int32_t below_left,
                      int32_t above_right)
{
    const double cells[rule_taps] = {
        static_cast<double>(center),     static_cast<double>(left),
        static_cast<double>(right),      static_cast<double>(above),
        static_cast<double>(below),      static_cast<double>(below_right),
        static_cast<double>(above_left), static_cast<double>(below_left),
        static_cast<double>(above_right)};
    double s = cells[0] * static_cast<double>(rule_weights[0]);
    for (int i = 1; i < rule_taps; i++)
        s = s + cells[i] * static_cast<double>(rule_weights[i]);
    return truncate_to_int32(s * static_cast<double>(rule_gain));
}

void reference_sweep(int32_t *out)
{
    for (int x = 0; x < world_width; x++)
        for (int y = 0; y < world_height; y++) {
            const int l = wrap_x(x - 1), r = wrap_x(x + 1);
            const int a = wrap_y(y - 1), b = wrap_y(y + 1);
            auto at = [](int cx, int cy) { return current_grid[cell_index(cx, cy)]; };
            out[cell_index(x, y)] =
                clamp_cell(evaluate_rule(at(x, y), at(l, y), at(r, y), at(x, a), at(x, b), at(r, b),
                                         at(l, a), at(l, b), at(r, a)));
        }
}
