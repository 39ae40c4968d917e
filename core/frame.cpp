// One frame of the toy, phase by phase. Each phase runs to completion before the
// next begins; none of them shows anything.
#include "core/frame.h"

#include "automaton/grid.h"
#include "automaton/random.h"
#include "automaton/rule.h"
#include "automaton/sweep.h"
#include "automaton/watch.h"
#include "core/controls.h"
#include "core/ramps.h"

const char caption_text[] = "lincell.example.org";

void start_world(uint32_t seed)
{
    clear_world();
    seed_random(seed);
    chosen_sweep = widest_sweep();
    seed_world();
    generate_color_ramps();
}

int run_frame(int keys, const frame_canvas &canvas)
{
    const int done = apply_controls(keys);   // C, N, M and the watch's request
    canvas.clear(canvas.surface);            // every pixel to colour 0
    sweep_grid();                            // the rule over the torus into next_grid
    canvas.paint(canvas.surface, next_grid); // the new generation, in sweep order
    commit_grid();                           // next_grid becomes the world; the watch looks on
    canvas.caption(canvas.surface);          // over the cells, never under them
    return done;
}

int advance_frame(int keys)
{
    const int done = apply_controls(keys); // C, N, M and the watch's request
    sweep_grid();                          // the rule over the torus into next_grid
    commit_grid();                         // next_grid becomes the world; the watch looks on
    return done;
}

void paint_frame(const frame_canvas &canvas)
{
    canvas.clear(canvas.surface);               // every pixel to colour 0
    canvas.paint(canvas.surface, current_grid); // the generation the commit made the world
    canvas.caption(canvas.surface);             // over the cells
}

world_view view_world()
{
    return {current_grid, world_width, world_height, rule_weights,
            rule_taps,    rule_gain,   still_count,  reseed_flag};
}
