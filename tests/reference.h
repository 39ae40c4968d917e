// Test helpers: the world put back to its start-up state, and the sweep written
// the plain way (nine wrapped reads and one evaluate_rule per cell), against
// which the toy's fast sweep is checked cell for cell and measured.
#pragma once

#include <cstdint>

// Zero both grids, the rule and the watch, as at program start.
void reset_world();

// The next generation of current_grid into `out`, one cell at a time.
void reference_sweep(int32_t *out);

// One generation without drawing, the toy's way: sweep_grid, then commit_grid.
void run_generation();

// The same with reference_sweep in place of sweep_grid.
void run_reference_generation();
