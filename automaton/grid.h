// The torus of cells: addressing with wrap-around, a random new world, and the
// commit that makes the next generation current.
#pragma once

#include "automaton/world.h"

// Index of cell (x, y) in a column-major grid.
inline int cell_index(int x, int y)
{
    return x * world_height + y;
}

// A column one step off the edge comes back on the other side; serves offsets -1 and +1.
inline int wrap_x(int i)
{
    return i < 0 ? i + world_width : i >= world_width ? i - world_width : i;
}

// The same for rows.
inline int wrap_y(int i)
{
    return i < 0 ? i + world_height : i >= world_height ? i - world_height : i;
}

// Give every cell of current_grid a random value 0..255, x outer, y inner.
void seed_world();

// Copy next_grid into current_grid; the watch sees the copy as if shown every cell.
void commit_grid();
