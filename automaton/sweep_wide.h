// The sweep's wide versions, each in a source file of its own built for its
// instruction set. They exist where the compiler targets x86-64 and the system keeps
// wide registers safe on the stack (not so on Windows); call one only on a
// processor that has its instructions (widest_sweep says which).
#pragma once

#if defined(__x86_64__) && defined(__GNUC__) && !defined(_WIN32)
#define HAS_WIDE_SWEEPS 1

// Four rows at a time with AVX2 and FMA.
void sweep_avx2_rows();

// Eight rows at a time with AVX-512.
void sweep_avx512_rows();
#endif
