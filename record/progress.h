// The recorder's progress line: on a terminal's standard error only, redrawn in
// place a few times a second once the run has taken a second.
#pragma once

#include <cstdint>
#include <string>

// The run starts now.
void start_progress();

// Frames done of the total, their pace and the time left.
void show_progress(uint64_t done, uint64_t total);

// All frames are run; say that `what` is being finished.
void show_finishing(const std::string &what);

// Take the line away, if one was shown.
void wipe_progress();
