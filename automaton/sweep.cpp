// The sweep runs 49,152 evaluations a frame, so it reads the world through a
// padded copy: the torus unrolled by one cell on every side, already widened to
// double, so each neighbour is a plain offset and the inner loop vectorises. The
// arithmetic is evaluate_rule's to the bit: same products, same order, same clamp.
#include "automaton/sweep.h"

#include "automaton/grid.h"
#include "automaton/rule.h"

// Column c + 1, row r + 1 of the pad holds cell (c, r); the margins repeat the far edges.
constexpr int pad_height = world_height + 2;
static double padded_world[(world_width + 2) * pad_height];

static void pad_world()
{
    for (int column = 0; column < world_width + 2; column++) {
        const int32_t *source = current_grid + cell_index(wrap_x(column - 1), 0);
        double *target = padded_world + column * pad_height;
        target[0] = source[world_height - 1];
        for (int y = 0; y < world_height; y++)
            target[y + 1] = source[y];
        target[world_height + 1] = source[0];
    }
}

// The column loop is built for wider vectors too, and the processor picks the widest
// it has: the same IEEE operations in the same order. The tests build each version
// alone by setting LINCELL_SWEEP_TARGETS ("avx2", "default"), or LINCELL_PLAIN_SWEEP.
#ifndef LINCELL_SWEEP_TARGETS
#define LINCELL_SWEEP_TARGETS "avx512f", "avx2", "default"
#endif
#if defined(__x86_64__) && defined(__linux__) && defined(__GNUC__) && !defined(LINCELL_PLAIN_SWEEP)
#define IN_EVERY_WIDTH __attribute__((target_clones(LINCELL_SWEEP_TARGETS)))
#else
#define IN_EVERY_WIDTH
#endif

// One column of the next generation; left, mid and right point at row 0 of
// columns x - 1, x and x + 1 in the pad, so row -1 and row 192 are readable.
IN_EVERY_WIDTH static void sweep_column(const double *left, const double *mid, const double *right,
                                        int32_t *out)
{
    const double gain = rule_gain;
    for (int y = 0; y < world_height; y++) {
        const double s = weigh_neighbourhood(mid[y], left[y], right[y], mid[y - 1], mid[y + 1],
                                             right[y + 1], left[y - 1], left[y + 1], right[y - 1]);
        out[y] = clamp_product(s * gain);
    }
}

void sweep_grid()
{
    pad_world();
    for (int x = 0; x < world_width; x++) {
        const double *left = padded_world + x * pad_height + 1;
        sweep_column(left, left + pad_height, left + 2 * pad_height, next_grid + cell_index(x, 0));
    }
}
