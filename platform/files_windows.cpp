// Files and folders on Windows, which has no links for a file to be reached
// through, no modes for folders, and a rename that will not replace.
#include "platform/files.h"

#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

const char folder_separators[] = "/\\";

// Paths these functions take and give in UTF-8 are the system's UTF-16 inside,
// so a folder named in any script works, whatever the ANSI code page holds.
static std::wstring wide_path(const char *path)
{
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
    std::wstring wide(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
    if (n <= 0 || !MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, &wide[0], n))
        return L"";
    wide.resize(static_cast<size_t>(n - 1));
    return wide;
}

static std::string utf8_path(const wchar_t *path, int length)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, path, length, nullptr, 0, nullptr, nullptr);
    std::string text(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, path, length, &text[0], n, nullptr, nullptr);
    return text;
}

std::string executable_folder()
{
    wchar_t path[32768];
    const DWORD n = GetModuleFileNameW(nullptr, path, sizeof path / sizeof path[0]);
    if (n == 0 || n >= sizeof path / sizeof path[0])
        return "";
    const std::string exe = utf8_path(path, static_cast<int>(n));
    return exe.substr(0, exe.size() - name_of(exe).size());
}

// No program started later holds the file open.
int open_for_reading(const char *path)
{
    const std::wstring wide = wide_path(path);
    return wide.empty() ? -1 : _wopen(wide.c_str(), O_RDONLY | O_BINARY | _O_NOINHERIT);
}

bool path_exists(const std::string &path)
{
    const std::wstring wide = wide_path(path.c_str());
    return !wide.empty() && GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool name_is_free(const std::string &path)
{
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool is_real_folder(const std::string &path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool read_small_file(const char *path, unsigned char *buffer, long most, long *size)
{
    const int fd = open_for_reading(path);
    if (fd < 0)
        return false;
    struct _stat64 st;
    bool ok = _fstat64(fd, &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFREG && st.st_size <= most;
    *size = 0;
    while (ok && *size < most) {
        const int n = _read(fd, buffer + *size, static_cast<unsigned>(most - *size));
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        *size += n;
    }
    _close(fd);
    return ok;
}

FILE *create_new_file(const char *path)
{
    const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_BINARY | _O_NOINHERIT, 0666);
    if (fd < 0)
        return nullptr;
    FILE *stream = _fdopen(fd, "wb");
    if (!stream) {
        _close(fd);
        _unlink(path);
    }
    return stream;
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
    HANDLE folder =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
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

long long file_size(const std::string &path)
{
    struct _stati64 st;
    return _stati64(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

bool move_file(const std::string &from, const std::string &to)
{
    return MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool remove_file(const std::string &path)
{
    return _unlink(path.c_str()) == 0;
}

bool remove_folder(const std::string &path)
{
    return _rmdir(path.c_str()) == 0;
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
    HANDLE file = CreateFileA(
        path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
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
