// Other programs: this one's process number, whether another is still running,
// and a child program fed through a pipe (ffmpeg, for the videos).
// programs_posix.cpp and programs_windows.cpp hold each system's way.
#pragma once

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

// Ask the program to stop.
void stop_program(const child_program &child);

// Close the program's input and wait for it; true when it ended with status 0.
// Once *hurry is set, it has two seconds to end; then it is asked to stop, and
// a second later killed.
bool wait_program(child_program *child, const volatile int *hurry);
