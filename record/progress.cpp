// One line, rewritten from its start each time and cleared to its end: by the
// terminal's erase sequence where it takes one, else by spaces over what the
// last line showed (a console that takes no escapes).
#include "record/progress.h"

#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/console.h"

using clock_type = std::chrono::steady_clock;
static bool on_terminal, takes_escapes;
static clock_type::time_point run_start, last_shown;
static bool shown;
static int shown_length; // characters of the line on screen now

// Put `text` on the line in place of what was there.
static void put_line(const char *text)
{
    const int length = static_cast<int>(strlen(text));
    fprintf(stderr, "\r%s", text);
    if (takes_escapes)
        fputs("\033[K", stderr);
    else if (shown_length > length)
        fprintf(stderr, "%*s\r%s", shown_length - length, "", text);
    shown_length = length;
    shown = length > 0;
}

void start_progress()
{
    on_terminal = is_terminal(2);
    takes_escapes = on_terminal && takes_terminal_escapes(2);
    run_start = clock_type::now();
}

void show_progress(uint64_t done, uint64_t total)
{
    const auto now = clock_type::now();
    const double seconds = std::chrono::duration<double>(now - run_start).count();
    if (!on_terminal || seconds < 1.0 || now - last_shown < std::chrono::milliseconds(250))
        return;
    last_shown = now;
    const double pace = static_cast<double>(done) / seconds;
    const double left = pace > 0 ? static_cast<double>(total - done) / pace : 0;
    char line[160];
    snprintf(line, sizeof line, "%llu of %llu frames, %.0f frames a second, %.0f s left",
             static_cast<unsigned long long>(done), static_cast<unsigned long long>(total), pace,
             left);
    put_line(line);
}

void show_finishing(const std::string &what)
{
    if (on_terminal)
        put_line(("finishing " + what).c_str());
}

void wipe_progress()
{
    if (shown)
        put_line("");
}
