// Standard streams, the terminal and the cores on POSIX systems.
#include "platform/console.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <thread>

bool is_open(int fd)
{
    return fcntl(fd, F_GETFD) >= 0;
}

bool is_terminal(int fd)
{
    return isatty(fd) == 1;
}

long write_descriptor(int fd, const void *data, size_t size)
{
    return static_cast<long>(write(fd, data, size));
}

void open_standard_streams()
{
    for (int fd = 0; fd <= 2; fd++)
        if (!is_open(fd) && open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd)
            _exit(1);
}

bool takes_terminal_escapes(int fd)
{
    return isatty(fd);
}

int hide_error_output()
{
    const int saved = fcntl(2, F_DUPFD_CLOEXEC, 3);
    const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && nowhere >= 0)
        dup2(nowhere, 2);
    if (nowhere >= 0)
        close(nowhere);
    return saved;
}

void restore_error_output(int saved)
{
    if (saved < 0)
        return;
    dup2(saved, 2);
    close(saved);
}

int usable_cores()
{
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<int>(cores) : 1;
}
