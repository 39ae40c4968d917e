// The controls, first phase of every frame: C, N and M act on every frame for as
// long as they are held, and the watch's reseed request joins N.
#pragma once

#include "core/frame.h"

// Apply the keys (key_* bits) and the watch's request: C new colours; N or the
// flag a new world and rule, clearing the flag; M a mutation of the rule. Returns
// what it did (did_* bits).
int apply_controls(int keys);
