// Cell drawing on a memory bitmap: the world's edges on the 3.125-pixel lattice,
// and the fast painter against one rectfill per cell, overlaps and clipping
// included.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cstring>

#include "automaton/grid.h"
#include "base/random.h"
#include "display/draw.h"
#include "display/lattice.h"
#include "display/ramps.h"
#include "tests/headless.h"

class CellDrawing : public testing::Test
{
  protected:
    BITMAP *bitmap = nullptr;
    int32_t grid[world_cells] = {};

    void SetUp() override
    {
        start_headless();
        bitmap = create_bitmap(800, 600);
        clear_bitmap(bitmap);
        set_ramps(1.0f, 1.0f, 1.0f);
    }
    void TearDown() override { destroy_bitmap(bitmap); }

    static void set_ramps(float r, float g, float b)
    {
        for (int i = 0; i < ramp_size; i++) {
            red_ramp[i] = r;
            green_ramp[i] = g;
            blue_ramp[i] = b;
        }
    }
    int lit_pixels()
    {
        int lit = 0;
        for (int y = 0; y < bitmap->h; y++)
            for (int x = 0; x < bitmap->w; x++)
                lit += pixel_at(bitmap, x, y) != 0;
        return lit;
    }
};

TEST_F(CellDrawing, EdgesOfTheWorld)
{
    SCOPED_TRACE("cell (0, 0) covers pixels 3..6 across and down");
    grid[cell_index(0, 0)] = 255;
    draw_grid(bitmap, grid);
    for (int i = 0; i < 10; i++)
        EXPECT_EQ(pixel_at(bitmap, i, 4) != 0 && pixel_at(bitmap, 4, i) != 0, i >= 3 && i <= 6);
    EXPECT_EQ(lit_pixels(), 16);

    SCOPED_TRACE("column 254 reaches the last pixel column");
    clear_bitmap(bitmap);
    grid[cell_index(0, 0)] = 0;
    grid[cell_index(254, 10)] = 255;
    draw_grid(bitmap, grid);
    const int py = cell_origin_y(10);
    for (int x = 795; x < 800; x++)
        EXPECT_EQ(pixel_at(bitmap, x, py) != 0, x >= 796) << x;

    SCOPED_TRACE("column 255 and row 191 lie wholly outside the buffer");
    clear_bitmap(bitmap);
    memset(grid, 0, sizeof grid);
    for (int y = 0; y < world_height; y++)
        grid[cell_index(255, y)] = 255;
    for (int x = 0; x < world_width; x++)
        grid[cell_index(x, 191)] = 255;
    draw_grid(bitmap, grid);
    EXPECT_EQ(lit_pixels(), 0);

    SCOPED_TRACE("rows and columns 0..2 are never painted");
    for (int32_t &v : grid)
        v = 255;
    draw_grid(bitmap, grid);
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 600; j++) {
            ASSERT_EQ(pixel_at(bitmap, i, j), 0);
            ASSERT_EQ(pixel_at(bitmap, j, i), 0);
        }
    EXPECT_EQ(lit_pixels(), 797 * 597);
}

TEST_F(CellDrawing, PainterMatchesOneRectfillPerCell)
{
    BITMAP *expected = create_bitmap(800, 600);
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
        draw_grid(bitmap, grid);
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
}
