// The file calls both systems' C runtimes provide alike (glibc's and mingw-w64's):
// a folder's listing, whether a path is a folder, and whether it may be written
// into, with paths as the command line gives them.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files.h"

bool is_folder(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool is_writable_folder(const std::string &path)
{
    return is_folder(path) && access(path.c_str(), W_OK) == 0;
}

bool list_folder(const std::string &path, std::vector<std::string> *names, bool *missing)
{
    DIR *listing = opendir(path.c_str());
    *missing = !listing && errno == ENOENT;
    if (!listing)
        return false;
    while (const dirent *entry = readdir(listing))
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
            names->push_back(entry->d_name);
    closedir(listing);
    return true;
}
