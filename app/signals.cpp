// The handler only stores the signal's number: everything else a stop needs runs
// in the program's own loop, where it is safe.
#include "app/signals.h"

#include "base/platform.h"

volatile sig_atomic_t stop_signal;

#ifdef SIGHUP
static const int stop_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
#else
static const int stop_signals[] = {SIGINT, SIGTERM, SIGBREAK}; // and the console's close
#endif
constexpr int stop_signal_count = sizeof stop_signals / sizeof stop_signals[0];

// Whether the caller ignored each of stop_signals.
static bool ignored[stop_signal_count];

static void note_stop(int signal_number)
{
    stop_signal = signal_number;
}

void note_ignored_signals()
{
#ifdef SIGHUP
    sigset_t held;
    sigemptyset(&held);
    for (int s : stop_signals)
        sigaddset(&held, s);
    sigprocmask(SIG_BLOCK, &held, nullptr);
#endif
    for (int i = 0; i < stop_signal_count; i++) {
#ifdef SIGHUP
        struct sigaction now;
        ignored[i] = sigaction(stop_signals[i], nullptr, &now) == 0 && now.sa_handler == SIG_IGN;
#else
        const auto before = signal(stop_signals[i], SIG_IGN);
        ignored[i] = before == SIG_IGN;
        signal(stop_signals[i], before);
#endif
    }
}

void catch_stop_signals()
{
#ifdef SIGHUP
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
#else
    for (int i = 0; i < stop_signal_count; i++)
        signal(stop_signals[i], ignored[i] ? SIG_IGN : note_stop);
    catch_console_close(note_stop);
#endif
}
