// The sweep: the rule applied to every cell of current_grid at once, each result
// clamped and stored in next_grid. No cell sees a neighbour's new value.
#pragma once

// Fill next_grid with the next generation of current_grid.
void sweep_grid();
