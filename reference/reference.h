// The rule written the plain way (nine wrapped reads and one evaluate_rule per
// cell), against which the toy's fast sweep is checked cell for cell and measured.
#pragma once

#include <cstdint>

// A column one step off the edge comes back on the other side; serves offsets -1 and +1.
int wrap_x(int i);

// The same for rows.
int wrap_y(int i);

// The rule applied to one neighbourhood: the sum in double precision in w0..w8
// order, times the gain, truncated toward zero; not yet clamped.
int32_t evaluate_rule(int32_t center, int32_t left, int32_t right, int32_t above, int32_t below,
                      int32_t below_right, int32_t above_left, int32_t below_left,
                      int32_t above_right);

// The next generation of current_grid into `out`, one cell at a time.
void reference_sweep(int32_t *out);
