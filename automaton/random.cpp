// The generator is the C standard's portable example of rand(): every build of
// the toy, on every platform, picks the same numbers from the same seed.
#include "automaton/random.h"

uint32_t random_state;

void seed_random(uint32_t seed)
{
    random_state = seed;
}

int next_random()
{
    random_state = random_state * 1103515245u + 12345u;
    return static_cast<int>((random_state >> 16) & 0x7FFF);
}

int scale_random(int r, int lo, int hi)
{
    const float span = static_cast<float>(hi - lo);
    return lo + static_cast<int>(r / 32767.0 * span);
}

int random_in_range(int lo, int hi)
{
    return scale_random(next_random(), lo, hi);
}
