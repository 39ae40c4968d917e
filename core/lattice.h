// Where cells land on screen: cell (x, y) is a 4 x 4 square whose origin sits on
// a lattice of 3.125 pixels, shifted by one cell, so neighbours overlap or touch.
#pragma once

// Pixels per cell across and down: 800 / 256 and 600 / 192, single precision.
constexpr float cell_width = 3.125f;
constexpr float cell_height = 3.125f;

// Pixel column of the left edge of cells in column x.
inline int cell_origin_x(int x)
{
    return static_cast<int>((x + 1) * static_cast<double>(cell_width));
}

// Pixel row of the top edge of cells in row y.
inline int cell_origin_y(int y)
{
    return static_cast<int>((y + 1) * static_cast<double>(cell_height));
}

// Last pixel column covered by a square whose left edge is px.
inline int cell_right(int px)
{
    return static_cast<int>(px + static_cast<double>(cell_width));
}

// Last pixel row covered by a square whose top edge is py.
inline int cell_bottom(int py)
{
    return static_cast<int>(py + static_cast<double>(cell_height));
}
