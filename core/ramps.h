// The world's colours: three sinusoidal ramps, one per channel, each holding a
// factor 0..1 for every cell value. A cell's channel is its value times the factor.
#pragma once

#include <cmath>

constexpr int ramp_size = 256; // one entry per cell value 0..255

// Factors for red, green and blue, 0.0..1.0; a channel picked with a stretch of 0
// holds entries that are not finite until the ramps are generated again.
extern float red_ramp[ramp_size];
extern float green_ramp[ramp_size];
extern float blue_ramp[ramp_size];

// Pick new phases, stretches and wave shapes and refill all three ramps.
void generate_color_ramps();

// One channel of a cell's colour: trunc(v * factor), 0..v; 0 when the factor is not finite.
inline int ramp_level(int v, float factor)
{
    if (!std::isfinite(factor))
        return 0;
    return static_cast<int>(v * static_cast<double>(factor));
}

// The colour of every cell value 0..255 into table, each made from its three
// channels by `color_of` (the library's makecol, or a canvas's own pixel format):
// the one colour table every painter of cells reads.
void fill_color_table(int (*color_of)(int red, int green, int blue), int table[ramp_size]);
