// The controls look only at the keys they are handed, which the front end reads
// once per frame; they never wait for a key and never look for presses.
#include "core/controls.h"

#include "automaton/grid.h"
#include "automaton/rule.h"
#include "core/ramps.h"

int apply_controls(int keys)
{
    const int watch = reseed_flag != 0 ? did_watch : 0;
    const int done = (keys & key_c ? did_recolor : 0) | (keys & key_m ? did_mutate : 0) |
                     (keys & key_n || watch ? did_reseed : 0) | watch;
    if (done & did_recolor)
        generate_color_ramps();
    if (done & did_reseed) {
        seed_world();
        randomize_rule();
        reseed_flag = 0;
    }
    if (done & did_mutate)
        mutate_rule();
    return done;
}
