// Files and folders on Windows, which has no links for a file to be reached
// through, no modes for folders, and a rename that will not replace.
#include "base/files.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>

const char folder_separators[] = "/\\";

std::string executable_folder()
{
    char path[4096];
    const long n = static_cast<long>(GetModuleFileNameA(nullptr, path, sizeof path));
    if (n <= 0 || n >= static_cast<long>(sizeof path))
        return "";
    const std::string exe(path, static_cast<size_t>(n));
    return exe.substr(0, exe.size() - name_of(exe).size());
}

// No program started later holds the file open.
int open_for_reading(const char *path)
{
    return open(path, O_RDONLY | O_BINARY | _O_NOINHERIT);
}

int create_new_file(const char *path)
{
    return open(path, O_WRONLY | O_CREAT | O_EXCL | O_BINARY | _O_NOINHERIT, 0666);
}

bool replace_file(const std::string &from, const std::string &to)
{
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool make_folder(const std::string &path)
{
    return mkdir(path.c_str()) == 0 || errno == EEXIST;
}

bool make_new_folder(const std::string &path)
{
    return mkdir(path.c_str()) == 0;
}

// A folder's identity: the volume's serial number and the folder's index on it.
static bool identify_folder(const std::string &path, BY_HANDLE_FILE_INFORMATION *info)
{
    HANDLE folder = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE)
        return false;
    const bool known = GetFileInformationByHandle(folder, info) != 0;
    CloseHandle(folder);
    return known;
}

bool same_folder(const std::string &a, const std::string &b)
{
    BY_HANDLE_FILE_INFORMATION ia, ib;
    if (!identify_folder(a, &ia) || !identify_folder(b, &ib))
        return a == b;
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

bool is_file_or_link(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
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

// A folder cannot be opened to be locked there; the recorders' hidden temporaries
// still keep two of them from spoiling each other's files.
bool lock_folder(const std::string &)
{
    return true;
}
