// Test helpers: the world put back to its start-up state, and the sweep written
// the plain way (nine wrapped reads and one evaluate_rule per cell), against
// which the toy's fast sweep is checked cell for cell.
#pragma once

#include <cstdint>

// Zero both grids, the rule and the watch, as at program start.
void reset_world();

// The next generation of current_grid into `out`, one cell at a time.
void reference_sweep(int32_t *out);
