// Cells straight into pixel rows. Squares overlap their successors by a pixel
// where the lattice step is 3, so the order of painting decides what shows:
// column x + 1 over column x, row y + 1 over row y, a skipped cell covers nothing.
#include "core/paint.h"

#include "automaton/grid.h"
#include "core/lattice.h"

// Pixels first..last of a square's side that fall inside the picture; none when first > last.
struct span {
    int first, last;
};

static span clip_span(int origin, int end, int limit)
{
    return {origin, end < limit - 1 ? end : limit - 1};
}

void paint_cells(const pixel_rows &picture, const int32_t *grid, const int *colors)
{
    span rows[world_height];
    for (int y = 0; y < world_height; y++) {
        const int py = cell_origin_y(y);
        rows[y] = clip_span(py, cell_bottom(py), picture.height);
    }
    for (int x = 0; x < world_width; x++) {
        const int px = cell_origin_x(x);
        const span columns = clip_span(px, cell_right(px), picture.width);
        const int32_t *column = grid + cell_index(x, 0);
        for (int y = 0; y < world_height; y++) {
            const int color = colors[column[y]];
            if (color == 0)
                continue;
            for (int row = rows[y].first; row <= rows[y].last; row++) {
                uint32_t *line = picture.rows[row];
                for (int i = columns.first; i <= columns.last; i++)
                    line[i] = static_cast<uint32_t>(color);
            }
        }
    }
}

void fill_pixels(const pixel_rows &picture, uint32_t pixel)
{
    for (int y = 0; y < picture.height; y++)
        for (int x = 0; x < picture.width; x++)
            picture.rows[y][x] = pixel;
}
