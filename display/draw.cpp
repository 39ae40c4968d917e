// Cell drawing. Squares overlap their successors by a pixel where the lattice
// step is 3, so the order of painting decides what shows: column x + 1 over
// column x, row y + 1 over row y, and a skipped black cell covers nothing.
#include "display/draw.h"

#include <allegro.h>
#include <allegro/internal/aintern.h>

#include "automaton/grid.h"
#include "display/lattice.h"
#include "display/ramps.h"

int cell_color(int v)
{
    return makecol(ramp_level(v, red_ramp[v]), ramp_level(v, green_ramp[v]),
                   ramp_level(v, blue_ramp[v]));
}

void draw_cell(BITMAP *bitmap, int px, int py, int color)
{
    rectfill(bitmap, px, py, cell_right(px), cell_bottom(py), color);
}

// A whole memory bitmap of 32-bit pixels, clipped to itself and drawn solid: the
// squares can be written straight into its lines with the same result as rectfill.
static bool can_write_directly(BITMAP *bitmap)
{
    return is_memory_bitmap(bitmap) && bitmap_color_depth(bitmap) == 32 && bitmap->clip &&
           bitmap->cl == 0 && bitmap->ct == 0 && bitmap->cr == bitmap->w &&
           bitmap->cb == bitmap->h && _drawing_mode == DRAW_MODE_SOLID;
}

// Pixels first..last of a square's side that fall inside the bitmap; none when first > last.
struct span {
    int first, last;
};

static span clip_span(int origin, int end, int limit)
{
    return {origin, end < limit - 1 ? end : limit - 1};
}

static void write_grid(BITMAP *bitmap, const int32_t *grid, const int *colors)
{
    span rows[world_height];
    for (int y = 0; y < world_height; y++) {
        const int py = cell_origin_y(y);
        rows[y] = clip_span(py, cell_bottom(py), bitmap->h);
    }
    for (int x = 0; x < world_width; x++) {
        const int px = cell_origin_x(x);
        const span columns = clip_span(px, cell_right(px), bitmap->w);
        const int32_t *column = grid + cell_index(x, 0);
        for (int y = 0; y < world_height; y++) {
            const int color = colors[column[y]];
            if (color <= 0)
                continue;
            for (int row = rows[y].first; row <= rows[y].last; row++) {
                uint32_t *line = reinterpret_cast<uint32_t *>(bitmap->line[row]);
                for (int i = columns.first; i <= columns.last; i++)
                    line[i] = static_cast<uint32_t>(color);
            }
        }
    }
}

void draw_grid(BITMAP *bitmap, const int32_t *grid)
{
    int colors[ramp_size];
    for (int v = 0; v < ramp_size; v++)
        colors[v] = cell_color(v);

    if (can_write_directly(bitmap)) {
        write_grid(bitmap, grid, colors);
        return;
    }
    for (int x = 0; x < world_width; x++)
        for (int y = 0; y < world_height; y++) {
            const int color = colors[grid[cell_index(x, y)]];
            if (color > 0)
                draw_cell(bitmap, cell_origin_x(x), cell_origin_y(y), color);
        }
}
