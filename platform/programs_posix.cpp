// Other programs on POSIX systems: spawned into a process group of their own,
// waited for without blocking, so that a stop can hurry them.
#include "platform/programs.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/files.h"

extern char **environ;

int process_id()
{
    return static_cast<int>(getpid());
}

bool is_running(long id)
{
    return id > 0 && (kill(static_cast<pid_t>(id), 0) == 0 || errno != ESRCH);
}
std::string find_program(const char *name)
{
    const std::string beside = executable_folder() + name;
    if (access(beside.c_str(), X_OK) == 0)
        return beside;
    const char *path = getenv("PATH");
    const std::string folders = path ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= folders.size();) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        const std::string candidate =
            (end > start ? folders.substr(start, end - start) : ".") + "/" + name;
        struct stat st;
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "";
}

bool start_program(const char *const *args, int error_fd, child_program *child)
{
    *child = {0, -1};
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    fcntl(error_fd, F_SETFD, FD_CLOEXEC); // the program's copy is its descriptor 2 alone
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    posix_spawn_file_actions_adddup2(&actions, error_fd, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ})
        sigaddset(&defaults, s);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETPGROUP);
    pid_t pid;
    const int started =
        posix_spawn(&pid, args[0], &actions, &attributes, const_cast<char *const *>(args), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(fds[0]);
    if (started != 0) {
        close(fds[1]);
        return false;
    }
    fcntl(fds[1], F_SETFL, O_NONBLOCK); // so that a write can wait with an eye on the clock
    *child = {pid, fds[1]};
    return true;
}

void stop_program(const child_program &child)
{
    if (child.id > 0)
        kill(-static_cast<pid_t>(child.id), SIGTERM);
}

bool write_program(const child_program &child, const void *data, size_t size, bool (*give_up)())
{
    const char *at = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t n = write(child.input, at, size);
        if (n > 0) {
            at += n, size -= static_cast<size_t>(n);
            continue;
        }
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            return false;
        pollfd writable = {child.input, POLLOUT, 0};
        poll(&writable, 1, 100);
        if (give_up())
            return false;
    }
    return true;
}

bool wait_program(child_program *child, bool (*give_up)())
{
    if (child->input >= 0)
        close(child->input);
    child->input = -1;
    const pid_t group = static_cast<pid_t>(child->id);
    int status = -1, stopping_ms = -1;
    while (group > 0) {
        const pid_t ended = waitpid(group, &status, WNOHANG);
        if (ended != 0 && !(ended < 0 && errno == EINTR))
            break;
        if (stopping_ms < 0 && give_up()) {
            kill(-group, SIGTERM);
            stopping_ms = 0;
        } else if (stopping_ms >= 0 && (stopping_ms += 10) == 1000) {
            kill(-group, SIGKILL);
        }
        usleep(10000);
    }
    if (stopping_ms >= 0)
        kill(-group, SIGKILL); // what it started and left behind
    const bool ended_well = group > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    child->id = 0;
    return ended_well;
}

long long program_work(const child_program &child)
{
    char path[64], text[1024];
    snprintf(path, sizeof path, "/proc/%ld/stat", static_cast<long>(child.id));
    FILE *stat = fopen(path, "r");
    if (!stat)
        return -1;
    const size_t n = fread(text, 1, sizeof text - 1, stat);
    fclose(stat);
    text[n] = '\0';
    // After the name in parentheses: state and ten fields, then the times.
    const char *after = strrchr(text, ')');
    long long user, system, children_user, children_system;
    if (!after ||
        sscanf(after + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lld %lld %lld %lld", &user,
               &system, &children_user, &children_system) != 4)
        return -1;
    return user + system + children_user + children_system;
}
