// The process's standard streams and terminal, and the cores it may use.
// console_posix.cpp and console_windows.cpp hold each system's way.
#pragma once

// Give standard input, output and error a descriptor each, so that no file the
// program opens takes their place; their output is binary, lines end in \n.
void open_standard_streams();

#include <cstddef>

// Whether descriptor `fd` is open.
bool is_open(int fd);

// Whether descriptor `fd` is a terminal (on Windows, a console).
bool is_terminal(int fd);

// Write up to `size` bytes to descriptor `fd` once: the count written, or -1
// with errno set (EINTR when a signal came first).
long write_descriptor(int fd, const void *data, size_t size);

// Whether descriptor `fd` is a terminal that takes escape sequences (on Windows a
// console, switched to take them where it can).
bool takes_terminal_escapes(int fd);

// Send what is written to standard error nowhere until restore_error_output(the
// result) puts it back; for a library that talks where it has nothing to say.
int hide_error_output();
void restore_error_output(int saved);

// The processor cores this process may run on, at least 1.
int usable_cores();
