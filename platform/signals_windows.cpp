// Stop signals on Windows: Ctrl-C and Ctrl-Break arrive as signals; closing the
// console, logging off and shutting down arrive on a thread of the system's and
// are noted as SIGTERM.
#include "platform/signals.h"

#include <windows.h>

volatile sig_atomic_t stop_signal;
volatile sig_atomic_t stop_count;

static const int stop_signals[] = {SIGINT, SIGTERM, SIGBREAK};
constexpr int stop_signal_count = sizeof stop_signals / sizeof stop_signals[0];

// Whether the caller ignored each of stop_signals.
static bool ignored[stop_signal_count];

static void note_stop(int signal_number)
{
    stop_signal = signal_number;
    stop_count = stop_count + 1;
}

// Note the stop, then wait while the program finishes; the system ends the
// process some seconds after, unless it ended first.
static BOOL WINAPI note_console_close(DWORD event)
{
    if (event != CTRL_CLOSE_EVENT && event != CTRL_LOGOFF_EVENT && event != CTRL_SHUTDOWN_EVENT)
        return FALSE; // Ctrl-C and Ctrl-Break arrive as signals
    note_stop(SIGTERM);
    Sleep(10000);
    return TRUE;
}

void note_ignored_signals()
{
    for (int i = 0; i < stop_signal_count; i++) {
        const auto before = signal(stop_signals[i], SIG_IGN);
        ignored[i] = before == SIG_IGN;
        signal(stop_signals[i], before);
    }
}

void catch_stop_signals()
{
    for (int i = 0; i < stop_signal_count; i++)
        signal(stop_signals[i], ignored[i] ? SIG_IGN : note_stop);
    SetConsoleCtrlHandler(note_console_close, TRUE);
}

// Windows has no SIGPIPE or SIGXFSZ: a write that cannot be done fails on its own.
void ignore_write_signals() {}
