// The one painter of cells into 32-bit pixels: the recorder's memory bitmaps and
// the web page's canvas both come through here. Plain C++, no library.
#pragma once

#include <cstdint>

// A picture of 32-bit pixels: row y starts at rows[y], width pixels across.
struct pixel_rows {
    uint32_t *const *rows;
    int width, height;
};

// Paint every cell of `grid` (column-major, values 0..255), x outer, y inner, later
// cells over earlier ones, in colors[value]; a cell of colour 0 (black) is skipped
// and covers nothing. Squares are clipped to the picture.
void paint_cells(const pixel_rows &picture, const int32_t *grid, const int *colors);

// Fill the whole picture with `pixel`.
void fill_pixels(const pixel_rows &picture, uint32_t pixel);
