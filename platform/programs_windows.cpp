// Other programs on Windows: started with a command line quoted as their C
// runtime splits it, with no window, and waited for on their handle.
#include "platform/programs.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdlib>

#include "platform/files.h"

int process_id()
{
    return static_cast<int>(GetCurrentProcessId());
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
    const bool started = CreateProcessA(args[0], &line[0], nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW | CREATE_NEW_PROCESS_GROUP, nullptr,
                                        nullptr, &startup, &process);
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

// Windows has no process groups here: the program itself is ended.
void stop_program(const child_program &child)
{
    if (child.id)
        TerminateProcess(reinterpret_cast<HANDLE>(child.id), 1);
}

// A stop does not interrupt a write on Windows: the write simply goes on.
bool write_program(const child_program &child, const void *data, size_t size, bool (*)())
{
    const char *at = static_cast<const char *>(data);
    while (size > 0) {
        const int n =
            _write(child.input, at, static_cast<unsigned>(size < (1u << 30) ? size : 1u << 30));
        if (n <= 0)
            return false;
        at += n, size -= static_cast<size_t>(n);
    }
    return true;
}

bool wait_program(child_program *child, bool (*give_up)())
{
    if (child->input >= 0)
        _close(child->input);
    child->input = -1;
    if (!child->id)
        return false;
    HANDLE process = reinterpret_cast<HANDLE>(child->id);
    for (bool stopped = false; WaitForSingleObject(process, 10) == WAIT_TIMEOUT;)
        if (!stopped && (stopped = give_up()))
            TerminateProcess(process, 1);
    DWORD code = 1;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    child->id = 0;
    return code == 0;
}

long long program_work(const child_program &child)
{
    FILETIME created, ended, kernel, user;
    if (!child.id ||
        !GetProcessTimes(reinterpret_cast<HANDLE>(child.id), &created, &ended, &kernel, &user))
        return -1;
    const auto ticks = [](const FILETIME &t) {
        return static_cast<long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime;
    };
    return ticks(kernel) + ticks(user);
}
