// Stop signals on POSIX systems. The handler only stores the signal's number:
// everything else a stop needs runs in the program's own loop, where it is safe.
#include "platform/signals.h"

volatile sig_atomic_t stop_signal;
volatile sig_atomic_t stop_count;

static const int stop_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr int stop_signal_count = sizeof stop_signals / sizeof stop_signals[0];

// Whether the caller ignored each of stop_signals.
static bool ignored[stop_signal_count];

static void note_stop(int signal_number)
{
    stop_signal = signal_number;
    stop_count = stop_count + 1;
}

void note_ignored_signals()
{
    sigset_t held;
    sigemptyset(&held);
    for (int s : stop_signals)
        sigaddset(&held, s);
    sigprocmask(SIG_BLOCK, &held, nullptr);
    for (int i = 0; i < stop_signal_count; i++) {
        struct sigaction now;
        ignored[i] = sigaction(stop_signals[i], nullptr, &now) == 0 && now.sa_handler == SIG_IGN;
    }
    // A parent that ignores SIGCHLD would have the kernel reap ffmpeg before it is waited for.
    signal(SIGCHLD, SIG_DFL);
}

void catch_stop_signals()
{
    struct sigaction action = {};
    sigemptyset(&action.sa_mask);
    sigset_t unblocked;
    sigemptyset(&unblocked);
    for (int i = 0; i < stop_signal_count; i++) {
        action.sa_handler = ignored[i] ? SIG_IGN : note_stop;
        sigaction(stop_signals[i], &action, nullptr);
        sigaddset(&unblocked, stop_signals[i]);
    }
    sigprocmask(SIG_UNBLOCK, &unblocked, nullptr);
}

void ignore_write_signals()
{
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);
}
