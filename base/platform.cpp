// POSIX first, Windows where it differs: Windows has no links for a file to be
// reached through, no modes for folders, and a rename that will not replace.
#include "base/platform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sched.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
extern char **environ;
#endif

#include <thread>

#ifndef O_BINARY
#define O_BINARY 0
#endif
#ifndef O_NOFOLLOW
#define O_NOFOLLOW 0
#endif
#ifndef O_NONBLOCK
#define O_NONBLOCK 0
#endif
#if !defined(O_CLOEXEC) && defined(_O_NOINHERIT)
#define O_CLOEXEC _O_NOINHERIT // no program started later holds the file open
#endif

#ifdef _WIN32
const char folder_separators[] = "/\\";
#else
const char folder_separators[] = "/";
#endif

std::string executable_folder()
{
    char path[4096];
#ifdef _WIN32
    const long n = static_cast<long>(GetModuleFileNameA(nullptr, path, sizeof path));
    if (n <= 0 || n >= static_cast<long>(sizeof path))
        return "";
#else
    const long n = static_cast<long>(readlink("/proc/self/exe", path, sizeof path - 1));
    if (n <= 0)
        return "";
#endif
    const std::string exe(path, static_cast<size_t>(n));
    const size_t slash = exe.find_last_of(folder_separators);
    return slash == std::string::npos ? "" : exe.substr(0, slash + 1);
}

int open_for_reading(const char *path)
{
    return open(path, O_RDONLY | O_NONBLOCK | O_BINARY | O_CLOEXEC);
}

int create_new_file(const char *path)
{
    return open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_BINARY | O_CLOEXEC, 0666);
}

bool replace_file(const std::string &from, const std::string &to)
{
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return rename(from.c_str(), to.c_str()) == 0;
#endif
}

bool make_folder(const std::string &path)
{
#ifdef _WIN32
    const int made = mkdir(path.c_str());
#else
    const int made = mkdir(path.c_str(), 0777);
#endif
    return made == 0 || errno == EEXIST;
}

bool is_file_or_link(const std::string &path)
{
    struct stat st;
#ifdef _WIN32
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
#else
    return lstat(path.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode));
#endif
}

int process_id()
{
    return static_cast<int>(getpid());
}

bool is_open(int fd)
{
#ifdef _WIN32
    return fd >= 0; // a Windows program is always given its three streams
#else
    return fcntl(fd, F_GETFD) >= 0;
#endif
}

void open_standard_streams()
{
#ifdef _WIN32
    _setmode(1, _O_BINARY);
#else
    for (int fd = 0; fd <= 2; fd++)
        if (!is_open(fd) && open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd)
            _exit(1);
#endif
}

int usable_cores()
{
#if defined(_WIN32)
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<int>(cores) : 1;
#else
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<int>(cores) : 1;
#endif
}

#ifdef _WIN32
// Windows has no SIGPIPE or SIGXFSZ: a write that cannot be done fails on its own.
void ignore_write_signals() {}

// A folder cannot be opened to be locked there; the recorders' hidden temporaries
// still keep two of them from spoiling each other's files.
bool lock_folder(const std::string &)
{
    return true;
}

bool is_running(long id)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (!process)
        return GetLastError() != ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    const bool running = !GetExitCodeProcess(process, &code) || code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

FILE *open_scratch_file()
{
    char folder[MAX_PATH], path[MAX_PATH];
    if (!GetTempPathA(sizeof folder, folder) || !GetTempFileNameA(folder, "lcr", 0, path))
        return nullptr;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_BINARY);
    FILE *stream = fd >= 0 ? _fdopen(fd, "w+b") : nullptr;
    if (!stream && fd >= 0)
        _close(fd);
    return stream;
}

static void (*console_closed)(int);

// Runs on a thread of its own: note the stop, then wait while the program
// finishes; the system ends the process some seconds after, unless it ended first.
static BOOL WINAPI note_console_close(DWORD event)
{
    if (event != CTRL_CLOSE_EVENT && event != CTRL_LOGOFF_EVENT && event != CTRL_SHUTDOWN_EVENT)
        return FALSE; // Ctrl-C and Ctrl-Break arrive as signals
    console_closed(SIGTERM);
    Sleep(10000);
    return TRUE;
}

void catch_console_close(void (*stop)(int))
{
    console_closed = stop;
    SetConsoleCtrlHandler(note_console_close, TRUE);
}

bool takes_terminal_escapes(int fd)
{
    HANDLE console = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    DWORD mode;
    return _isatty(fd) && GetConsoleMode(console, &mode) &&
           SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

static bool is_file(const std::string &path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string find_program(const char *name)
{
    const std::string file = std::string(name) + ".exe";
    if (is_file(executable_folder() + file))
        return executable_folder() + file;
    const char *path = getenv("PATH");
    const std::string folders = path ? path : "";
    for (size_t start = 0; start < folders.size();) {
        size_t end = folders.find(';', start);
        if (end == std::string::npos)
            end = folders.size();
        const std::string candidate = folders.substr(start, end - start) + "\\" + file;
        if (end > start && is_file(candidate))
            return candidate;
        start = end + 1;
    }
    return "";
}

// One argument as the C runtime of the program started will split it back out.
static std::string quote_argument(const std::string &arg)
{
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos)
        return arg;
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            backslashes++;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + '"';
}

bool start_program(const char *const *args, int error_fd, child_program *child)
{
    *child = {0, -1};
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE read_end, write_end, error;
    if (!CreatePipe(&read_end, &write_end, &inherit, 0))
        return false;
    SetHandleInformation(write_end, HANDLE_FLAG_INHERIT, 0);
    DuplicateHandle(GetCurrentProcess(), reinterpret_cast<HANDLE>(_get_osfhandle(error_fd)),
                    GetCurrentProcess(), &error, 0, TRUE, DUPLICATE_SAME_ACCESS);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = read_end;
    startup.hStdOutput = error;
    startup.hStdError = error;
    std::string line;
    for (const char *const *arg = args; *arg; arg++)
        line += (line.empty() ? "" : " ") + quote_argument(*arg);
    PROCESS_INFORMATION process;
    const bool started =
        CreateProcessA(args[0], &line[0], nullptr, nullptr, TRUE,
                       CREATE_NO_WINDOW | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup,
                       &process);
    CloseHandle(read_end);
    CloseHandle(error);
    if (!started) {
        CloseHandle(write_end);
        return false;
    }
    CloseHandle(process.hThread);
    child->id = reinterpret_cast<intptr_t>(process.hProcess);
    child->input = _open_osfhandle(reinterpret_cast<intptr_t>(write_end), 0);
    _setmode(child->input, _O_BINARY);
    return true;
}

void stop_program(const child_program &child)
{
    if (child.id)
        TerminateProcess(reinterpret_cast<HANDLE>(child.id), 1);
}

bool wait_program(child_program *child, const volatile int *hurry)
{
    if (child->input >= 0)
        _close(child->input);
    child->input = -1;
    if (!child->id)
        return false;
    HANDLE process = reinterpret_cast<HANDLE>(child->id);
    for (int waited_ms = 0; WaitForSingleObject(process, 10) == WAIT_TIMEOUT;)
        if (*hurry && (waited_ms += 10) == 2000)
            TerminateProcess(process, 1);
    DWORD code = 1;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    child->id = 0;
    return code == 0;
}
#else
void ignore_write_signals()
{
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);
}

bool lock_folder(const std::string &path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return true; // nothing there to share: writing into it will fail on its own
    if (flock(fd, LOCK_EX | LOCK_NB) == 0)
        return true; // held, with the descriptor, until the process ends
    close(fd);
    return false;
}

bool is_running(long id)
{
    return id > 0 && (kill(static_cast<pid_t>(id), 0) == 0 || errno != ESRCH);
}

FILE *open_scratch_file()
{
    return tmpfile();
}

bool takes_terminal_escapes(int fd)
{
    return isatty(fd);
}

void catch_console_close(void (*)(int)) {}

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
    const int started = posix_spawn(&pid, args[0], &actions, &attributes,
                                    const_cast<char *const *>(args), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(fds[0]);
    if (started != 0) {
        close(fds[1]);
        return false;
    }
    *child = {pid, fds[1]};
    return true;
}

void stop_program(const child_program &child)
{
    if (child.id > 0)
        kill(static_cast<pid_t>(child.id), SIGTERM);
}

bool wait_program(child_program *child, const volatile int *hurry)
{
    if (child->input >= 0)
        close(child->input);
    child->input = -1;
    int status = -1, waited_ms = 0;
    while (child->id > 0) {
        const pid_t ended = waitpid(static_cast<pid_t>(child->id), &status, WNOHANG);
        if (ended != 0 && !(ended < 0 && errno == EINTR))
            break;
        if (*hurry && (waited_ms == 2000 || waited_ms == 3000))
            kill(static_cast<pid_t>(child->id), waited_ms == 2000 ? SIGTERM : SIGKILL);
        if (*hurry)
            waited_ms += 10;
        usleep(10000);
    }
    const bool ended_well = child->id > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    child->id = 0;
    return ended_well;
}
#endif
