// The controls look only at the keys they are handed, which the front end reads
// once per frame; they never wait for a key and never look for presses.
#include "app/controls.h"

#include "automaton/grid.h"
#include "automaton/rule.h"
#include "display/ramps.h"

frame_result apply_controls(const frame_input &keys)
{
    const frame_result done = {keys.new_colors, keys.new_world || reseed_flag != 0,
                               keys.nudge_rule, reseed_flag != 0};
    if (done.new_colors)
        generate_color_ramps();
    if (done.new_world) {
        seed_world();
        randomize_rule();
        reseed_flag = 0;
    }
    if (done.nudged_rule)
        mutate_rule();
    return done;
}
