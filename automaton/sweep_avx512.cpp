// The sweep eight rows at a time, built with AVX-512 (and nothing else in this
// file, so that no wide instruction reaches code another processor may run).
#include "automaton/sweep_wide.h"

#ifdef HAS_WIDE_SWEEPS
#include <immintrin.h>

#include "automaton/sweep_lanes.h"

namespace
{
struct avx512_lanes {
    static constexpr int count = 8;
    typedef __m512d doubles;
    // Every lane, for the masked forms below: GCC 12's headers spell the unmasked
    // ones with an uninitialized placeholder that its own warnings reject.
    static constexpr __mmask8 all = 0xff;
    static doubles spread(double v) { return _mm512_set1_pd(v); }
    // The rows above or below a vector: the vector and its neighbour, moved one
    // lane along, so that every read is aligned and none straddles a cache line.
    static doubles load_rows(const double *rows, int shift)
    {
        const __m512i these = _mm512_castpd_si512(_mm512_load_pd(rows));
        if (shift < 0)
            return _mm512_castsi512_pd(_mm512_maskz_alignr_epi64(
                all, these, _mm512_castpd_si512(_mm512_load_pd(rows - 8)), 7));
        if (shift > 0)
            return _mm512_castsi512_pd(_mm512_maskz_alignr_epi64(
                all, _mm512_castpd_si512(_mm512_load_pd(rows + 8)), these, 1));
        return _mm512_castsi512_pd(these);
    }
    static doubles multiply(doubles a, doubles b) { return _mm512_mul_pd(a, b); }
    static doubles multiply_add(doubles a, doubles b, doubles s)
    {
        return _mm512_fmadd_pd(a, b, s);
    }
    // The clamp as in the baseline's version: max with 0, min with 255, truncate.
    static void store_cells(int32_t *out, doubles s)
    {
        s = _mm512_maskz_min_pd(all, _mm512_maskz_max_pd(all, s, _mm512_setzero_pd()),
                                _mm512_set1_pd(255.0));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(out), _mm512_maskz_cvttpd_epi32(all, s));
    }
};
} // namespace

void sweep_avx512_rows()
{
    sweep_in_lanes<avx512_lanes>();
}
#endif
