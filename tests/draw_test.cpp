// Cell drawing on memory bitmaps, headless: the fast painter against one
// rectfill per cell, overlaps, black cells, clipping and edges included.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cstring>

#include "allegro4/draw.h"
#include "allegro4/headless.h"
#include "automaton/grid.h"
#include "automaton/random.h"
#include "core/lattice.h"
#include "core/ramps.h"

// The fast painter writes squares straight into a 32-bit memory bitmap; a bitmap of
// another depth, or clipped, takes one rectfill per cell in sweep order. Both must
// give the same overlaps, black cells and edges.
TEST(CellDrawing, PainterMatchesOneRectfillPerCell)
{
    start_headless_allegro();
    static int32_t grid[world_cells];
    BITMAP *bitmap = create_bitmap(800, 600), *expected = create_bitmap(800, 600);
    seed_random(7);
    for (int trial = 0; trial < 12; trial++) {
        SCOPED_TRACE(trial);
        generate_color_ramps();
        for (int32_t &v : grid)
            v = random_in_range(0, 255) * (random_in_range(0, 3) != 0);
        const bool clipped = trial % 3 == 2; // a clip rectangle takes the library's path
        for (BITMAP *b : {bitmap, expected}) {
            clear_to_color(b, makecol(9, 9, 9));
            set_clip_rect(b, clipped ? 20 : 0, clipped ? 30 : 0, clipped ? 700 : 799, 599);
        }
        paint_bitmap(bitmap, grid);
        for (int x = 0; x < world_width; x++)
            for (int y = 0; y < world_height; y++) {
                const int color = cell_color(grid[cell_index(x, y)]);
                if (color > 0)
                    draw_cell(expected, cell_origin_x(x), cell_origin_y(y), color);
            }
        for (int y = 0; y < 600; y++)
            ASSERT_EQ(memcmp(bitmap->line[y], expected->line[y], 800 * 4), 0) << "row " << y;
    }
    destroy_bitmap(expected);
    destroy_bitmap(bitmap);
}
