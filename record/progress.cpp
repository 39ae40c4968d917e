// One line, rewritten from its start and cleared to the end each time.
#include "record/progress.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

using clock_type = std::chrono::steady_clock;
static bool on_terminal;
static clock_type::time_point run_start, last_shown;
static bool shown;

void start_progress()
{
    on_terminal = isatty(2);
    run_start = clock_type::now();
}

void show_progress(uint64_t done, uint64_t total)
{
    const auto now = clock_type::now();
    const double seconds = std::chrono::duration<double>(now - run_start).count();
    if (!on_terminal || seconds < 1.0 || now - last_shown < std::chrono::milliseconds(250))
        return;
    last_shown = now;
    const double pace = done / seconds;
    const double left = pace > 0 ? (total - done) / pace : 0;
    fprintf(stderr, "\r%llu of %llu frames, %.0f frames a second, %.0f s left\033[K",
            static_cast<unsigned long long>(done), static_cast<unsigned long long>(total), pace,
            left);
    shown = true;
}

void show_finishing(const std::string &what)
{
    if (!on_terminal)
        return;
    fprintf(stderr, "\rfinishing %s\033[K", what.c_str());
    shown = true;
}

void wipe_progress()
{
    if (shown)
        fputs("\r\033[K", stderr);
    shown = false;
}
