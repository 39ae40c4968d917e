// Files and folders on POSIX systems.
#include "platform/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

const char folder_separators[] = "/";

std::string executable_folder()
{
    char path[4096];
    const long n = static_cast<long>(readlink("/proc/self/exe", path, sizeof path - 1));
    if (n <= 0)
        return "";
    const std::string exe(path, static_cast<size_t>(n));
    return exe.substr(0, exe.size() - name_of(exe).size());
}

int open_for_reading(const char *path)
{
    return open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

bool path_exists(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool name_is_free(const std::string &path)
{
    struct stat st;
    return lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

bool is_real_folder(const std::string &path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

long long file_size(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

bool move_file(const std::string &from, const std::string &to)
{
    return rename(from.c_str(), to.c_str()) == 0;
}

bool remove_file(const std::string &path)
{
    return unlink(path.c_str()) == 0;
}

bool remove_folder(const std::string &path)
{
    return rmdir(path.c_str()) == 0;
}

bool read_small_file(const char *path, unsigned char *buffer, long most, long *size)
{
    const int fd = open_for_reading(path);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= most;
    *size = 0;
    while (ok && *size < most) {
        const ssize_t n = read(fd, buffer + *size, static_cast<size_t>(most - *size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        *size += n;
    }
    close(fd);
    return ok;
}

FILE *create_new_file(const char *path)
{
    const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    FILE *stream = fdopen(fd, "wb");
    if (!stream) {
        close(fd);
        unlink(path);
    }
    return stream;
}

bool replace_file(const std::string &from, const std::string &to)
{
    return rename(from.c_str(), to.c_str()) == 0;
}

bool make_folder(const std::string &path)
{
    return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
}

bool make_new_folder(const std::string &path)
{
    return mkdir(path.c_str(), 0700) == 0;
}

bool same_folder(const std::string &a, const std::string &b)
{
    struct stat sa, sb;
    if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0)
        return a == b;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool is_file_or_link(const std::string &path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode));
}

FILE *open_scratch_file()
{
    return tmpfile();
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
