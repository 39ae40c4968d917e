// The sweep four rows at a time, built with AVX2 and FMA (and nothing else in this
// file, so that no wide instruction reaches code another processor may run).
#include "automaton/sweep_wide.h"

#ifdef HAS_WIDE_SWEEPS
#include <immintrin.h>

#include "automaton/sweep_lanes.h"

namespace
{
struct avx2_lanes {
    static constexpr int count = 4;
    typedef __m256d doubles;
    static doubles spread(double v) { return _mm256_set1_pd(v); }
    static doubles load_rows(const double *rows, int shift)
    {
        return _mm256_loadu_pd(rows + shift);
    }
    static doubles multiply(doubles a, doubles b) { return _mm256_mul_pd(a, b); }
    static doubles multiply_add(doubles a, doubles b, doubles s)
    {
        return _mm256_fmadd_pd(a, b, s);
    }
    // The clamp as in the baseline's version: max with 0, min with 255, truncate.
    static void store_cells(int32_t *out, doubles s)
    {
        s = _mm256_min_pd(_mm256_max_pd(s, _mm256_setzero_pd()), _mm256_set1_pd(255.0));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out), _mm256_cvttpd_epi32(s));
    }
};
} // namespace

void sweep_avx2_rows()
{
    sweep_in_lanes<avx2_lanes>();
}
#endif
