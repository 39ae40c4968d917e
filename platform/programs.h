// Other programs: this one's process number, whether another is still running,
// and a child program fed through a pipe (ffmpeg, for the videos).
// programs_posix.cpp and programs_windows.cpp hold each system's way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The process's number, for names no other process uses at the same time.
int process_id();

// Whether the process `id` is still running (or cannot be told).
bool is_running(long id);

// The executable `name` beside this program or in a folder of the PATH (with
// ".exe" on Windows), or "" when there is none.
std::string find_program(const char *name);

// A program started with its standard input on a pipe the caller writes.
struct child_program {
    intptr_t id; // the process (its handle on Windows), 0 when none runs
    int input;   // the pipe's end to write to, -1 once closed
};

// Start args[0] with args (ending in nullptr), in a process group of its own with
// the stop signals at their defaults, its error output into descriptor error_fd.
bool start_program(const char *const *args, int error_fd, child_program *child);

// Ask the program, and every program it started, to stop.
void stop_program(const child_program &child);

// Write all `size` bytes to the program's input: true once they are all there;
// false when the program takes no more, or when give_up() says so while the
// program is not taking them (asked every tenth of a second of waiting).
bool write_program(const child_program &child, const void *data, size_t size, bool (*give_up)());

// Close the program's input and wait for it; true when it ended with status 0.
// While it runs, give_up() is asked every hundredth of a second; once it says
// so, the program and every program it started are asked to stop, and a second
// later killed.
bool wait_program(child_program *child, bool (*give_up)());

// The processor time the program has used so far, its own and that of the
// programs it has waited for, in the system's ticks; -1 when it cannot be told.
long long program_work(const child_program &child);
