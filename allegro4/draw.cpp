// Cell drawing. Squares overlap their successors by a pixel where the lattice
// step is 3, so the order of painting decides what shows: column x + 1 over
// column x, row y + 1 over row y, and a skipped black cell covers nothing.
#include "allegro4/draw.h"

#include <allegro.h>
#include <allegro/internal/aintern.h>

#include "automaton/grid.h"
#include "core/lattice.h"
#include "core/paint.h"
#include "core/ramps.h"

int cell_color(int v)
{
    return makecol(ramp_level(v, red_ramp[v]), ramp_level(v, green_ramp[v]),
                   ramp_level(v, blue_ramp[v]));
}

void bitmap_rows(BITMAP *bitmap, uint32_t **rows)
{
    for (int y = 0; y < bitmap->h; y++)
        rows[y] = reinterpret_cast<uint32_t *>(bitmap->line[y]);
}

void draw_cell(BITMAP *bitmap, int px, int py, int color)
{
    rectfill(bitmap, px, py, cell_right(px), cell_bottom(py), color);
}

// A whole memory bitmap of 32-bit pixels, clipped to itself and drawn solid: the
// pixel painter writes straight into its lines with the same result as rectfill.
constexpr int most_rows = 4096;
static bool can_write_directly(BITMAP *bitmap)
{
    return bitmap->h <= most_rows && is_memory_bitmap(bitmap) && bitmap_color_depth(bitmap) == 32 &&
           bitmap->clip && bitmap->cl == 0 && bitmap->ct == 0 && bitmap->cr == bitmap->w &&
           bitmap->cb == bitmap->h && _drawing_mode == DRAW_MODE_SOLID;
}

void paint_bitmap(BITMAP *bitmap, const int32_t *grid)
{
    int colors[ramp_size];
    fill_color_table(makecol, colors);

    if (can_write_directly(bitmap)) {
        static uint32_t *rows[most_rows];
        bitmap_rows(bitmap, rows);
        paint_cells({rows, bitmap->w, bitmap->h}, grid, colors);
        return;
    }
    for (int x = 0; x < world_width; x++)
        for (int y = 0; y < world_height; y++) {
            const int color = colors[grid[cell_index(x, y)]];
            if (color > 0)
                draw_cell(bitmap, cell_origin_x(x), cell_origin_y(y), color);
        }
}
