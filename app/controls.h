// The controls, first phase of every frame: C, N and M act on every frame for as
// long as they are held, and the watch's reseed request joins N.
#pragma once

#include "app/frame.h"

// Apply the keys and the watch's request: C new colours; N or the flag a new
// world and rule, clearing the flag; M a nudge of the rule. Says what it did.
frame_result apply_controls(const frame_input &keys);
