// The handler only stores the signal's number: everything else a stop needs runs
// in the program's own loop, where it is safe.
#include "app/signals.h"

volatile sig_atomic_t stop_signal;

static void note_stop(int signal_number)
{
    stop_signal = signal_number;
}

void catch_stop_signals()
{
#ifdef SIGHUP
    struct sigaction action = {};
    action.sa_handler = note_stop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
#else
    signal(SIGINT, note_stop);
    signal(SIGTERM, note_stop);
#endif
}
