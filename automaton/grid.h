// The torus of cells: addressing, a random new world, and the commit that makes
// the next generation current.
#pragma once

#include "automaton/world.h"

// Index of cell (x, y) in a column-major grid.
inline int cell_index(int x, int y)
{
    return x * world_height + y;
}

// Give every cell of current_grid a random value 0..255, x outer, y inner.
void seed_world();

// Copy next_grid into current_grid; the watch sees the copy as if shown every cell.
void commit_grid();
