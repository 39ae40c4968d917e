// The sweep runs 49,152 evaluations a frame, so it goes column by column through
// three widened copies small enough to stay in the nearest cache, rows side by side
// in vectors. This file builds the baseline's version (two lanes of SSE2 on x86-64
// or of WebAssembly's SIMD, one plain double elsewhere), picks the widest version the processor
// has, runs it.
#include "automaton/sweep.h"

#include "automaton/sweep_lanes.h"
#include "automaton/sweep_wide.h"

sweep_width chosen_sweep = sweep_baseline;

#if defined(__x86_64__)
#include <emmintrin.h>

namespace
{
// Two rows at a time; no fused multiply-add in the baseline, so two roundings.
struct sse2_lanes {
    static constexpr int count = 2;
    typedef __m128d doubles;
    static doubles spread(double v) { return _mm_set1_pd(v); }
    static doubles load_rows(const double *rows, int shift) { return _mm_loadu_pd(rows + shift); }
    static doubles multiply(doubles a, doubles b) { return _mm_mul_pd(a, b); }
    static doubles multiply_add(doubles a, doubles b, doubles s)
    {
        return _mm_add_pd(s, _mm_mul_pd(a, b));
    }
    // maxpd(s, 0) is s > 0 ? s : 0 and minpd(s, 255) s < 255 ? s : 255, so
    // negatives and not-a-number become 0; then truncation toward zero.
    static void store_cells(int32_t *out, doubles s)
    {
        s = _mm_min_pd(_mm_max_pd(s, _mm_setzero_pd()), _mm_set1_pd(255.0));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out), _mm_cvttpd_epi32(s));
    }
};
typedef sse2_lanes baseline_lanes;
} // namespace
#elif defined(__wasm_simd128__)
#include <wasm_simd128.h>

namespace
{
// WebAssembly's 128-bit vectors: two rows at a time, as SSE2; it has no fused
// multiply-add unless asked for, so two roundings here too.
struct wasm_lanes {
    static constexpr int count = 2;
    typedef v128_t doubles;
    static doubles spread(double v) { return wasm_f64x2_splat(v); }
    static doubles load_rows(const double *rows, int shift) { return wasm_v128_load(rows + shift); }
    static doubles multiply(doubles a, doubles b) { return wasm_f64x2_mul(a, b); }
    static doubles multiply_add(doubles a, doubles b, doubles s)
    {
        return wasm_f64x2_add(s, wasm_f64x2_mul(a, b));
    }
    // pmax(0, s) is 0 < s ? s : 0 and pmin(255, s) s < 255 ? s : 255, so negatives
    // and not-a-number become 0, as with SSE2; then truncation toward zero.
    static void store_cells(int32_t *out, doubles s)
    {
        s = wasm_f64x2_pmin(wasm_f64x2_splat(255.0), wasm_f64x2_pmax(wasm_f64x2_splat(0.0), s));
        wasm_v128_store64_lane(out, wasm_i32x4_trunc_sat_f64x2_zero(s), 0);
    }
};
typedef wasm_lanes baseline_lanes;
} // namespace
#else
#include "automaton/rule.h"

namespace
{
// Elsewhere, one row at a time in plain double.
struct scalar_lanes {
    static constexpr int count = 1;
    typedef double doubles;
    static doubles spread(double v) { return v; }
    static doubles load_rows(const double *rows, int shift) { return rows[shift]; }
    static doubles multiply(doubles a, doubles b) { return a * b; }
    static doubles multiply_add(doubles a, doubles b, doubles s) { return s + a * b; }
    static void store_cells(int32_t *out, doubles s) { *out = clamp_cell(truncate_to_int32(s)); }
};
typedef scalar_lanes baseline_lanes;
} // namespace
#endif

sweep_width widest_sweep()
{
#ifdef HAS_WIDE_SWEEPS
    if (__builtin_cpu_supports("avx512f"))
        return sweep_avx512;
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        return sweep_avx2;
#endif
    return sweep_baseline;
}

void sweep_grid()
{
    switch (chosen_sweep) {
#ifdef HAS_WIDE_SWEEPS
    case sweep_avx512:
        sweep_avx512_rows();
        return;
    case sweep_avx2:
        sweep_avx2_rows();
        return;
#endif
    default:
        sweep_in_lanes<baseline_lanes>();
    }
}
