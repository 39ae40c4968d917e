// lincell-bench: what one generation and one whole frame cost, against the plain
// per-cell reference sweep measured in the same run. Times are per frame (the
// benchmark's own) and per cell (the `cell` counter, seconds per cell).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include <allegro.h>

#include "allegro4/draw.h"
#include "allegro4/headless.h"
#include "allegro4/toy.h"
#include "automaton/grid.h"
#include "automaton/random.h"
#include "automaton/rule.h"
#include "automaton/sweep.h"
#include "bench/steps.h"
#include "core/controls.h"
#include "core/lattice.h"
#include "core/ramps.h"

static BITMAP *back_buffer;

// With repetitions, the fastest one as well as the median: on a shared virtual
// machine it is the figure that moves least from run to run.
static double fastest(const std::vector<double> &times)
{
    return *std::min_element(times.begin(), times.end());
}

static void count_cells(benchmark::State &state)
{
    state.counters["cell"] = benchmark::Counter(
        world_cells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// A world where every cell is drawn every frame: all 255 under the identity rule, white ramps.
static void make_world_bright()
{
    clear_world();
    rule_weights[0] = 1.0f;
    rule_gain = 1.0f;
    for (int32_t &v : current_grid)
        v = 255;
    for (int i = 0; i < ramp_size; i++)
        red_ramp[i] = green_ramp[i] = blue_ramp[i] = 1.0f;
}

// The toy's frame with no key held, drawn into `buffer`.
static void run_toy_frame(BITMAP *buffer)
{
    run_frame(0, bitmap_canvas(buffer));
}

// A living world: seed 2 after 300 frames, mid-flow.
static void make_world_living()
{
    clear_world();
    seed_random(2);
    seed_world();
    generate_color_ramps();
    for (int k = 0; k < 300; k++)
        run_toy_frame(back_buffer);
}

// The frame written the plain way: nine wrapped reads, evaluate_rule and one rectfill per cell.
static void run_reference_frame(BITMAP *buffer)
{
    static int32_t next[world_cells];
    apply_controls(0);
    clear_bitmap(buffer);
    reference_sweep(next);
    for (int x = 0; x < world_width; x++)
        for (int y = 0; y < world_height; y++) {
            next_grid[cell_index(x, y)] = next[cell_index(x, y)];
            const int color = cell_color(next[cell_index(x, y)]);
            if (color > 0)
                draw_cell(buffer, cell_origin_x(x), cell_origin_y(y), color);
        }
    commit_grid();
    draw_caption(buffer);
}

// One step of the automaton, without drawing, over a living world, with the sweep
// of the vector width given as the argument (0 plain, 1 AVX2, 2 AVX-512).
template <void (*step)()> static void BM_Automaton(benchmark::State &state)
{
    make_world_living();
    chosen_sweep = static_cast<sweep_width>(state.range(0));
    for (auto _ : state)
        step();
    chosen_sweep = widest_sweep();
    count_cells(state);
}
BENCHMARK(BM_Automaton<run_generation>)
    ->Name("BM_Generation")
    ->DenseRange(0, widest_sweep())
    ->ComputeStatistics("min", fastest);
BENCHMARK(BM_Automaton<sweep_grid>)
    ->Name("BM_Sweep")
    ->DenseRange(0, widest_sweep())
    ->ComputeStatistics("min", fastest);
BENCHMARK(BM_Automaton<commit_grid>)
    ->Name("BM_Commit")
    ->Arg(widest_sweep())
    ->ComputeStatistics("min", fastest);
BENCHMARK(BM_Automaton<run_reference_generation>)
    ->Name("BM_GenerationReference")
    ->Arg(0)
    ->ComputeStatistics("min", fastest);

template <void (*frame)(BITMAP *)> static void BM_FrameWorstCase(benchmark::State &state)
{
    make_world_bright();
    for (auto _ : state) {
        still_count = 0; // the bright world is frozen: keep the watch from reseeding it
        reseed_flag = 0;
        frame(back_buffer);
    }
    count_cells(state);
}
BENCHMARK(BM_FrameWorstCase<run_toy_frame>)
    ->Name("BM_FrameWorstCase")
    ->ComputeStatistics("min", fastest);
BENCHMARK(BM_FrameWorstCase<run_reference_frame>)
    ->Name("BM_FrameWorstCaseReference")
    ->ComputeStatistics("min", fastest);

template <void (*frame)(BITMAP *)> static void BM_FrameLiving(benchmark::State &state)
{
    make_world_living();
    for (auto _ : state)
        frame(back_buffer);
    count_cells(state);
}
BENCHMARK(BM_FrameLiving<run_toy_frame>)->Name("BM_FrameLiving")->ComputeStatistics("min", fastest);
BENCHMARK(BM_FrameLiving<run_reference_frame>)
    ->Name("BM_FrameLivingReference")
    ->ComputeStatistics("min", fastest);

static void BM_GenerateColorRamps(benchmark::State &state)
{
    for (auto _ : state)
        generate_color_ramps();
}
BENCHMARK(BM_GenerateColorRamps);

static void BM_SeedWorld(benchmark::State &state)
{
    for (auto _ : state)
        seed_world();
    count_cells(state);
}
BENCHMARK(BM_SeedWorld);

static void BM_RandomizeRule(benchmark::State &state)
{
    for (auto _ : state)
        randomize_rule();
}
BENCHMARK(BM_RandomizeRule);

int main(int argc, char **argv)
{
    start_headless_allegro();
    start_world(1);
    back_buffer = start_toy("myfont.pcx");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    destroy_back_buffer(back_buffer);
    return 0;
}
END_OF_MAIN()
