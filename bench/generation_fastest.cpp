// generation-fastest: one generation timed alone, again and again, keeping the
// fastest; on a shared virtual machine the steadiest figure there is. Prints, for
// the plain reference sweep and every sweep width this processor has, the fastest
// generation (sweep and commit) and sweep in microseconds, three rounds.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "automaton/grid.h"
#include "automaton/random.h"
#include "automaton/rule.h"
#include "automaton/sweep.h"
#include "bench/steps.h"

// The fastest of `times` runs of `step`, in microseconds.
static double fastest(void (*step)(), int times)
{
    double best = 1e30;
    for (int i = 0; i < times; i++) {
        const auto start = std::chrono::steady_clock::now();
        step();
        const std::chrono::duration<double, std::micro> took =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

int main()
{
    clear_world();
    seed_random(2);
    seed_world();
    randomize_rule();
    for (int round = 0; round < 3; round++) {
        const double reference = fastest(run_reference_generation, 300);
        printf("reference %.1f", reference);
        for (int width = 0; width <= widest_sweep(); width++) {
            chosen_sweep = static_cast<sweep_width>(width);
            const double generation = fastest(run_generation, 2000);
            printf(" | width %d: generation %.1f (%.1fx), sweep %.1f", width, generation,
                   reference / generation, fastest(sweep_grid, 2000));
        }
        printf("\n");
    }
    return 0;
}
