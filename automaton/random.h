// The toy's one source of randomness, at the bottom of the house: the world, the
// rule and the colours all pick from it, and it needs nothing of theirs. A small
// linear congruential generator, pinned so that a seed gives the same run on every
// platform, and the scaling that turns its 15-bit picks into integers in a range.
#pragma once

#include <cstdint>

// Generator state: any 32-bit value; set by seed_random, advanced by each pick.
extern uint32_t random_state;

// Set the generator's state to `seed`.
void seed_random(uint32_t seed);

// Advance the generator and return its next pick, 0..32767.
int next_random();

// Map a pick r (0..32767) into lo..hi: r / 32767 of the span, truncated.
int scale_random(int r, int lo, int hi);

// The next pick scaled into lo..hi; hi itself only for the pick 32767.
int random_in_range(int lo, int hi);
