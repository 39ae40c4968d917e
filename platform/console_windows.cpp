// Standard streams, the console and the cores on Windows.
#include "platform/console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <thread>

bool is_open(int fd)
{
    return fd >= 0; // a Windows program is always given its three streams
}

bool is_terminal(int fd)
{
    return _isatty(fd) != 0;
}

long write_descriptor(int fd, const void *data, size_t size)
{
    return _write(fd, data, static_cast<unsigned>(size < 0x7fffffff ? size : 0x7fffffff));
}

void open_standard_streams()
{
    _setmode(1, _O_BINARY);
}

bool takes_terminal_escapes(int fd)
{
    HANDLE console = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    DWORD mode;
    return _isatty(fd) && GetConsoleMode(console, &mode) &&
           SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

// A Windows program with a window has no terminal to keep quiet.
int hide_error_output()
{
    return -1;
}

void restore_error_output(int) {}

int usable_cores()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<int>(cores) : 1;
}
