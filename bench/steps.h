// One generation without drawing, as the benchmarks time it: the toy's way, and
// the same with the plain reference sweep in place of the fast one.
#pragma once

#include "automaton/grid.h"
#include "automaton/sweep.h"
#include "reference/reference.h"

inline void run_generation()
{
    sweep_grid();
    commit_grid();
}

inline void run_reference_generation()
{
    reference_sweep(next_grid);
    commit_grid();
}
