// Ramp generation. Nine picks in a fixed order (three phases, three stretches,
// three wave shapes, each red, green, blue), then each ramp is a sinusoid that
// starts at its phase and advances 1 / stretch radian per cell value.
#include "core/ramps.h"

#include "automaton/random.h"

float red_ramp[ramp_size];
float green_ramp[ramp_size];
float blue_ramp[ramp_size];

void generate_color_ramps()
{
    float phase[3], stretch[3];
    int wave[3];
    for (float &p : phase)
        p = static_cast<float>(random_in_range(0, 100) / 10.0);
    for (float &s : stretch)
        s = static_cast<float>(random_in_range(1, 1000) / 10); // whole numbers 0..100
    for (int &w : wave)
        w = random_in_range(0, 2); // 1 is a sine, 0 and 2 a cosine

    float *const ramps[3] = {red_ramp, green_ramp, blue_ramp};
    for (int i = 0; i < ramp_size; i++)
        for (int c = 0; c < 3; c++) {
            // A stretch of 0 has no finite angle for any value: the entry is not a
            // number, as the division would make it, and ramp_level reads it as 0.
            const double t = stretch[c] != 0.0f ? i / static_cast<double>(stretch[c]) +
                                                      static_cast<double>(phase[c])
                                                : std::nan("");
            const double w = wave[c] == 1 ? std::sin(t) : std::cos(t);
            ramps[c][i] = static_cast<float>(w / 2.0 + 0.5);
        }
}

void fill_color_table(int (*color_of)(int red, int green, int blue), int table[ramp_size])
{
    for (int v = 0; v < ramp_size; v++)
        table[v] = color_of(ramp_level(v, red_ramp[v]), ramp_level(v, green_ramp[v]),
                            ramp_level(v, blue_ramp[v]));
}
