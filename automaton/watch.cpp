// The watch's memory. Only watch_cell changes the probes and the count; only the
// controls clear the flag.
#include "automaton/watch.h"

int32_t probe_last[probe_count];
int32_t still_count;
int reseed_flag;
