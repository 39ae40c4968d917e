// Splitting a path, the same on every system but for the separators.
#include "platform/files.h"

std::string folder_of(const std::string &path)
{
    const size_t slash = path.find_last_of(folder_separators);
    return slash == std::string::npos ? "."
           : slash == 0               ? path.substr(0, 1)
                                      : path.substr(0, slash);
}

std::string name_of(const std::string &path)
{
    const size_t slash = path.find_last_of(folder_separators);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
