// The sweep's loop, written once for every vector width. Each width's source file
// describes its lanes (a vector of doubles and a few operations on it) with its own
// instruction set and builds the loop with them, so no wide instruction can leak
// into code that runs on a processor without it. Include only from those files.
#pragma once

#include <cstdint>

#include "automaton/world.h"

// A column of the world widened to double, with the torus's far rows at both
// ends: row y at rows[pad + y], row -1 and row 192 readable, and a whole vector of
// room on each side so that the vectors before the first row and after the last
// can be read too. Rows 0, 8, 16, ... start on 64-byte boundaries.
constexpr int pad = 8;
struct widened_column {
    alignas(64) double rows[pad + world_height + pad];
};

static inline void widen_column(int x, widened_column &column)
{
    const int32_t *source = current_grid + ((x + world_width) % world_width) * world_height;
    double *target = column.rows + pad;
    target[-1] = source[world_height - 1];
    for (int y = 0; y < world_height; y++)
        target[y] = source[y];
    target[world_height] = source[0];
}

// Several blocks of rows side by side, so that each block's chain of nine sums
// waits less on the one before it.
constexpr int row_blocks = 4;

// s[b] + w * (the rows at `rows`, shifted by `shift`) for every block b.
template <class lanes>
static inline void add_tap(typename lanes::doubles (&s)[row_blocks], const double *rows, int shift,
                           typename lanes::doubles w)
{
    for (int b = 0; b < row_blocks; b++)
        s[b] = lanes::multiply_add(lanes::load_rows(rows + b * lanes::count, shift), w, s[b]);
}

// Every column of the next generation, left to right, lanes::count rows a block;
// column x reads the widened copies of x - 1, x and x + 1, and the copy of x + 2
// replaces that of x - 1. Each lane does the plain rule's operations in its order.
// The lanes provide:
//   spread(v)               v in every lane;
//   load_rows(rows, shift)  the vector of rows starting at `rows` (a vector
//                           boundary), or the rows above them (-1) or below (+1);
//   multiply(a, b)          a * b;
//   multiply_add(a, b, s)   s + a * b, fused where the processor can: a cell (0..255,
//                           8 bits) times a weight (a float, 24 bits) is exact in
//                           double, so one rounding gives the sum two would;
//   store_cells(out, s)     s clamped to 0..255 (not-a-number to 0) and truncated.
template <class lanes> static inline void sweep_in_lanes()
{
    typedef typename lanes::doubles doubles;
    constexpr int rows_at_once = row_blocks * lanes::count;
    static_assert(world_height % rows_at_once == 0, "a column is whole blocks of rows");
    static_assert(pad >= lanes::count, "the far rows' vectors are readable");
    static widened_column columns[3];
    doubles w[rule_taps];
    for (int i = 0; i < rule_taps; i++)
        w[i] = lanes::spread(static_cast<double>(rule_weights[i]));
    const doubles gain = lanes::spread(static_cast<double>(rule_gain));
    widen_column(-1, columns[0]);
    widen_column(0, columns[1]);
    for (int x = 0; x < world_width; x++) {
        widen_column(x + 1, columns[(x + 2) % 3]);
        const double *left = columns[x % 3].rows + pad;
        const double *mid = columns[(x + 1) % 3].rows + pad;
        const double *right = columns[(x + 2) % 3].rows + pad;
        int32_t *out = next_grid + x * world_height;
        for (int y = 0; y < world_height; y += rows_at_once) {
            // w0..w8 in order: the cell, left, right, above, below, below right, above
            // left, below left, above right; then the gain, the clamp and truncation.
            doubles s[row_blocks];
            for (int b = 0; b < row_blocks; b++)
                s[b] = lanes::multiply(lanes::load_rows(mid + y + b * lanes::count, 0), w[0]);
            add_tap<lanes>(s, left + y, 0, w[1]);
            add_tap<lanes>(s, right + y, 0, w[2]);
            add_tap<lanes>(s, mid + y, -1, w[3]);
            add_tap<lanes>(s, mid + y, 1, w[4]);
            add_tap<lanes>(s, right + y, 1, w[5]);
            add_tap<lanes>(s, left + y, -1, w[6]);
            add_tap<lanes>(s, left + y, 1, w[7]);
            add_tap<lanes>(s, right + y, -1, w[8]);
            for (int b = 0; b < row_blocks; b++)
                lanes::store_cells(out + y + b * lanes::count, lanes::multiply(s[b], gain));
        }
    }
}
