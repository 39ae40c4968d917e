// The two generations of the world and how one replaces the other.
#include "automaton/grid.h"

#include <cstring>

#include "automaton/random.h"
#include "automaton/watch.h"

int32_t current_grid[world_cells];
int32_t next_grid[world_cells];

void clear_world()
{
    memset(current_grid, 0, sizeof current_grid);
    memset(next_grid, 0, sizeof next_grid);
    memset(rule_weights, 0, sizeof rule_weights);
    rule_gain = 0;
    memset(probe_last, 0, sizeof probe_last);
    still_count = 0;
    reseed_flag = 0;
}

void seed_world()
{
    for (int x = 0; x < world_width; x++)
        for (int y = 0; y < world_height; y++)
            current_grid[cell_index(x, y)] = random_in_range(0, 255);
}

// One copy, then the watch. Only the probes move the watch's count, and between
// them its test at every cell gives what it gave at the last probe; so showing it
// cell (0, 0) and then the probes in commit order raises the flag exactly when
// showing it every cell would, a count already past the limit included.
void commit_grid()
{
    memcpy(current_grid, next_grid, sizeof current_grid);
    watch_cell(0, 0, current_grid[0]);
    for (int p = 0; p < probe_count; p++) {
        const int i = cell_index(probe_x[p], probe_y[p]);
        watch_cell(probe_x[p], probe_y[p], current_grid[i]);
    }
}
