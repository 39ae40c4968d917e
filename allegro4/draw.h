// Painting the world: a cell value's colour, one cell's square, and a whole
// generation painted in sweep order into a bitmap.
#pragma once

#include <cstdint>

struct BITMAP;

// The colour of cell value v (0..255) in the current colour depth; 0 is black.
int cell_color(int v);

// Fill the square of the cell whose pixel origin is (px, py); the library clips.
void draw_cell(BITMAP *bitmap, int px, int py, int color);

// Paint every cell of `grid` (column-major, values 0..255), x outer, y inner, later
// cells over earlier ones; a cell whose colour is not above 0 is skipped.
void paint_bitmap(BITMAP *bitmap, const int32_t *grid);

// The rows of a 32-bit memory bitmap as the core's painters take them, into
// rows[bitmap->h]: the one way a bitmap's pixels are read or written directly.
void bitmap_rows(BITMAP *bitmap, uint32_t **rows);
