// The plain sweep and a fresh world, for the tests and the benchmarks to measure against.
#include "tests/reference.h"

#include <cstring>

#include "automaton/grid.h"
#include "automaton/rule.h"
#include "automaton/sweep.h"

void reset_world()
{
    memset(current_grid, 0, sizeof current_grid);
    memset(next_grid, 0, sizeof next_grid);
    memset(rule_weights, 0, sizeof rule_weights);
    rule_gain = 0;
    memset(probe_last, 0, sizeof probe_last);
    still_count = 0;
    reseed_flag = 0;
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

void run_generation()
{
    sweep_grid();
    commit_grid();
}

void run_reference_generation()
{
    reference_sweep(next_grid);
    commit_grid();
}
