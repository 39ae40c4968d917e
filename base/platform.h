// What the programs ask of the operating system, in one place: the differences
// between POSIX and Windows live in platform.cpp, behind these few functions,
// and nowhere else.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Characters that end a folder's name in a path: '/', and on Windows '\\' too.
extern const char folder_separators[];

// The folder of the running executable, with its last slash, or "" when unknown.
std::string executable_folder();

// Open an existing file for reading, in binary, without waiting on a FIFO.
int open_for_reading(const char *path);

// Create a new file for writing, in binary: never an existing one, never through a link.
int create_new_file(const char *path);

// Put the file `from` in place of `to`, atomically, replacing what `to` was.
bool replace_file(const std::string &from, const std::string &to);

// Make one folder; true when it was made or already exists.
bool make_folder(const std::string &path);

// Whether `path` names a link (never followed) or a regular file.
bool is_file_or_link(const std::string &path);

// The process's number, for names no other process uses at the same time.
int process_id();

// Give standard input, output and error a descriptor each, so that no file the
// program opens takes their place; their output is binary, lines end in \n.
void open_standard_streams();

// Whether descriptor `fd` is open.
bool is_open(int fd);

// Writes that cannot be done fail as writes: a closed pipe or a file-size limit
// gives an error from the write, not a signal that ends the program.
void ignore_write_signals();

// Hold an exclusive lock on the folder until the process ends; false only when
// another process holds it.
bool lock_folder(const std::string &path);

// Whether the process `id` is still running (or cannot be told).
bool is_running(long id);

// A scratch file for reading and writing, gone when closed (and on Windows,
// where it cannot be removed while open, when the last handle to it closes).
FILE *open_scratch_file();

// Whether descriptor `fd` is a terminal that takes escape sequences (on Windows a
// console, switched to take them where it can).
bool takes_terminal_escapes(int fd);

// The processor cores this process may run on, at least 1.
int usable_cores();

// On Windows, have closing the console (or logging off) call stop(SIGTERM) and
// give the program a few seconds to finish before the system ends it; elsewhere
// nothing, since the stop signals cover it.
void catch_console_close(void (*stop)(int));

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
