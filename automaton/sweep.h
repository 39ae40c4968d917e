// The sweep: the rule applied to every cell of current_grid at once, each result
// clamped and stored in next_grid. No cell sees a neighbour's new value.
#pragma once

// Vector widths the sweep is built for; every one gives the same cells to the bit.
enum sweep_width { sweep_baseline, sweep_avx2, sweep_avx512 };

// The version sweep_grid runs: sweep_baseline (SSE2, WebAssembly SIMD or plain) until the toy picks
// widest_sweep().
extern sweep_width chosen_sweep;

// The widest version this processor can run.
sweep_width widest_sweep();

// Fill next_grid with the next generation of current_grid.
void sweep_grid();
