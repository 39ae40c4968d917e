// Ending on a signal the way Esc ends the toy: SIGINT, SIGTERM, SIGHUP and SIGQUIT
// (on Windows SIGINT, SIGTERM, SIGBREAK and the console's close) only note that a
// stop was asked for; the program finishes what it is doing, shuts down in order
// and exits with the conventional status 128 + signal. A stop signal its caller
// ignores (nohup, a background job) stays ignored. signals_posix.cpp and
// signals_windows.cpp hold each system's way.
#pragma once

#include <csignal>

// The signal that asked the program to stop, or 0 while none has.
extern volatile sig_atomic_t stop_signal;

// How many stop signals have come: a second one means "now, not when done".
extern volatile sig_atomic_t stop_count;

// Note which stop signals the program was started with ignored, and hold the
// stop signals back until catch_stop_signals: one that comes while the library
// starts would otherwise meet the library's own handlers. Put SIGCHLD back to its
// default, so that the programs it starts can be waited for. Call first thing.
void note_ignored_signals();

// From now on, catch the stop signals the caller does not ignore, ignore the
// others, and let none of them be blocked, whatever the library installed. A
// blocking call a stop signal interrupts returns with EINTR; it is not resumed.
void catch_stop_signals();

// Writes that cannot be done fail as writes: a closed pipe or a file-size limit
// gives an error from the write, not a signal that ends the program.
void ignore_write_signals();
