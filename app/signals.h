// Ending on a signal the way Esc ends the toy: SIGINT, SIGTERM and SIGHUP only
// note that a stop was asked for; the program finishes what it is doing, shuts
// down in order and exits with the conventional status 128 + signal.
#pragma once

#include <csignal>

// The signal that asked the program to stop, or 0 while none has.
extern volatile sig_atomic_t stop_signal;

// Catch SIGINT, SIGTERM and SIGHUP from now on, whatever was inherited (even
// ignored) and whatever the library installed before.
void catch_stop_signals();
