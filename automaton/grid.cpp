// The two generations of the world and how one replaces the other.
#include "automaton/grid.h"

#include "app/random.h"
#include "automaton/watch.h"

int32_t current_grid[world_cells];
int32_t next_grid[world_cells];

void seed_world()
{
    for (int x = 0; x < world_width; x++)
        for (int y = 0; y < world_height; y++)
            current_grid[cell_index(x, y)] = random_in_range(0, 255);
}

void commit_grid()
{
    for (int x = 0; x < world_width; x++)
        for (int y = 0; y < world_height; y++) {
            const int i = cell_index(x, y);
            current_grid[i] = next_grid[i];
            watch_cell(x, y, current_grid[i]);
        }
}
