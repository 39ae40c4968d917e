// The sweep runs 49,152 evaluations a frame, so it reads the world column by
// column through three padded copies (the column and its two neighbours, each
// widened to double with the torus's far rows at both ends), small enough to stay
// in the nearest cache, so each neighbour is a plain offset and the rows go in
// vectors. The arithmetic is evaluate_rule's to the bit: same products, same
// order, same clamp, lane by lane.
#include "automaton/sweep.h"

#include <cstring>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "automaton/grid.h"
#include "automaton/rule.h"

sweep_width sweep_version = sweep_plain;

// A column of the world widened to double: row r at index r + 1, and the far rows
// at 0 and pad_height - 1, so that row -1 and row 192 are readable.
constexpr int pad_height = world_height + 2;
static double padded_columns[3][pad_height];

static void widen_column(int x, double *target)
{
    const int32_t *source = current_grid + cell_index(wrap_x(x), 0);
    target[0] = source[world_height - 1];
    for (int y = 0; y < world_height; y++)
        target[y + 1] = source[y];
    target[world_height + 1] = source[0];
}

// Rows side by side in the compiler's generic vectors: 2, 4 or 8 lanes of double
// and the same lanes of 32-bit cells; ROWS_AT reads the lanes from any row of a
// padded column, aligned or not.
#define LANE_TYPES(n)                                                                              \
    typedef double doubles_##n __attribute__((vector_size(n * sizeof(double))));                   \
    typedef int32_t cells_##n __attribute__((vector_size(n * sizeof(int32_t))));
LANE_TYPES(2)
LANE_TYPES(4)
LANE_TYPES(8)
#define ROWS_AT(row)                                                                               \
    ({                                                                                             \
        doubles rows_;                                                                             \
        memcpy(&rows_, row, sizeof rows_);                                                         \
        rows_;                                                                                     \
    })

// clamp_cell(truncate_product(v)) in every lane, before the truncation: negatives
// and not-a-number to 0, then at most 255.
template <class doubles> __attribute__((always_inline)) static inline void clamp_lanes(doubles &s)
{
    const doubles zero{}, top = zero + 255.0;
    s = s > zero ? s : zero;
    s = s < top ? s : top;
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same with two instructions of the x86-64 baseline: maxpd(s, 0) is s > 0 ? s : 0
// and minpd(s, 255) is s < 255 ? s : 255, not-a-number included.
template <> __attribute__((always_inline)) inline void clamp_lanes(doubles_2 &s)
{
    s = (doubles_2)_mm_min_pd(_mm_max_pd((__m128d)s, _mm_setzero_pd()), _mm_set1_pd(255.0));
}
#endif

// Every column of the next generation, left to right, a vector of rows at a time;
// column x reads the padded copies of x - 1, x and x + 1, and the copy of x + 2
// replaces that of x - 1. Built once per processor feature set by the entry
// points below, into which it is inlined.
template <class doubles, class cells>
__attribute__((always_inline)) static inline void sweep_in_lanes()
{
    constexpr int lanes = sizeof(doubles) / sizeof(double);
    static_assert(world_height % lanes == 0, "a column is whole blocks of rows");
    doubles w[rule_taps];
    for (int i = 0; i < rule_taps; i++)
        w[i] = doubles{} + static_cast<double>(rule_weights[i]);
    const doubles gain = doubles{} + static_cast<double>(rule_gain);
    widen_column(-1, padded_columns[0]);
    widen_column(0, padded_columns[1]);
    for (int x = 0; x < world_width; x++) {
        widen_column(x + 1, padded_columns[(x + 2) % 3]);
        const double *left = padded_columns[x % 3] + 1;
        const double *mid = padded_columns[(x + 1) % 3] + 1;
        const double *right = padded_columns[(x + 2) % 3] + 1;
        int32_t *out = next_grid + cell_index(x, 0);
        for (int y = 0; y < world_height; y += lanes) {
            // w0..w8 in order: the cell, left, right, above, below, below right, above
            // left, below left, above right; each product rounded, then added.
            doubles s = ROWS_AT(mid + y) * w[0];
            s = s + ROWS_AT(left + y) * w[1];
            s = s + ROWS_AT(right + y) * w[2];
            s = s + ROWS_AT(mid + y - 1) * w[3];
            s = s + ROWS_AT(mid + y + 1) * w[4];
            s = s + ROWS_AT(right + y + 1) * w[5];
            s = s + ROWS_AT(left + y - 1) * w[6];
            s = s + ROWS_AT(left + y + 1) * w[7];
            s = s + ROWS_AT(right + y - 1) * w[8];
            s = s * gain;
            clamp_lanes(s);
            const cells result = __builtin_convertvector(s, cells);
            memcpy(out + y, &result, sizeof result);
        }
    }
}

static void sweep_plain_width()
{
    sweep_in_lanes<doubles_2, cells_2>();
}

// The wider versions exist where the compiler can target them and the system
// keeps wide registers safe on the stack (not so on Windows).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(_WIN32)
#define HAS_WIDE_SWEEPS 1
__attribute__((target("avx2"))) static void sweep_avx2_width()
{
    sweep_in_lanes<doubles_4, cells_4>();
}

__attribute__((target("avx512f"))) static void sweep_avx512_width()
{
    sweep_in_lanes<doubles_8, cells_8>();
}
#endif

sweep_width widest_sweep()
{
#ifdef HAS_WIDE_SWEEPS
    if (__builtin_cpu_supports("avx512f"))
        return sweep_avx512;
    if (__builtin_cpu_supports("avx2"))
        return sweep_avx2;
#endif
    return sweep_plain;
}

void sweep_grid()
{
    switch (sweep_version) {
#ifdef HAS_WIDE_SWEEPS
    case sweep_avx512:
        sweep_avx512_width();
        return;
    case sweep_avx2:
        sweep_avx2_width();
        return;
#endif
    default:
        sweep_plain_width();
    }
}
