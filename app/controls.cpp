// Controls read the library's key-state array once per key per frame; they never
// wait for a key and never look for presses, only for keys that are down.
#include "app/controls.h"

#include <allegro.h>

#include "automaton/grid.h"
#include "automaton/rule.h"
#include "display/ramps.h"

void apply_controls()
{
    if (key[KEY_C])
        generate_color_ramps();
    if (key[KEY_N] || reseed_flag) {
        seed_world();
        randomize_rule();
        reseed_flag = 0;
    }
    if (key[KEY_M])
        mutate_rule();
}
