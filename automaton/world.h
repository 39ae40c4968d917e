// The world's program-wide state: two generations of cells, the linear rule that
// turns one into the next, and the watch that notices when the world freezes.
// Everything here is zero when the program starts.
#pragma once

#include <cstdint>

constexpr int world_width = 256;                        // columns, x = 0..255, left to right
constexpr int world_height = 192;                       // rows, y = 0..191, top to bottom
constexpr int world_cells = world_width * world_height; // 49,152 cells on the torus
constexpr int rule_taps = 9;                            // weights in the 3 x 3 neighbourhood
constexpr int probe_count = 4;                          // cells the watch keeps an eye on

// The world as it stands: cell (x, y) at x * 192 + y (column-major), values 0..255.
extern int32_t current_grid[world_cells];

// The generation being built by the sweep, same layout; the commit copies it back.
extern int32_t next_grid[world_cells];

// Weights w0..w8 of the cell itself, left, right, above, below, below right,
// above left, below left and above right; -1..1 when picked, unbounded after mutation.
extern float rule_weights[rule_taps];

// Gain applied to the weighted sum; -1..1 when picked, unbounded after mutation.
extern float rule_gain;

// Last value read at each probe cell, in commit order; 0..255 once a frame has run.
extern int32_t probe_last[probe_count];

// Consecutive probe readings that found their cell unchanged, 0 and up.
extern int32_t still_count;

// 1 while the watch asks the controls for a new world and rule, otherwise 0.
extern int reseed_flag;

// Zero both grids, the rule and the watch, as they are when the program starts.
void clear_world();
