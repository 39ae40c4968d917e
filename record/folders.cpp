// Folders are listed once each, and every kind is asked about every name in
// them: no list of names here can fall out of step with what the kinds write.
#include "record/folders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/platform.h"

bool make_folders(const std::string &path)
{
    for (size_t i = 1; i <= path.size(); i++) {
        const bool at_separator = i < path.size() && strchr(folder_separators, path[i]);
        if (i < path.size() && !at_separator)
            continue;
        if (!make_folder(path.substr(0, i)))
            return false;
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && access(path.c_str(), W_OK) == 0;
}

bool find_earlier_files(const options &o, const std::vector<const output *> &wanted,
                        std::vector<std::string> *found, std::string *unlisted)
{
    std::vector<std::string> folders;
    if (writes_files(o))
        folders.push_back(o.out);
    if (!o.video.empty() && std::find(folders.begin(), folders.end(), folder_of(o.video)) ==
                                folders.end())
        folders.push_back(folder_of(o.video));
    for (const std::string &folder : folders) {
        DIR *listing = opendir(folder.c_str());
        if (!listing && errno == ENOENT)
            continue;
        if (!listing) {
            *unlisted = folder;
            return false;
        }
        while (const dirent *entry = readdir(listing))
            for (const output *kind : wanted)
                if (kind->is_mine(o, folder, entry->d_name)) {
                    found->push_back(folder + "/" + entry->d_name);
                    break;
                }
        closedir(listing);
    }
    std::sort(found->begin(), found->end());
    return true;
}

bool remove_files(const std::vector<std::string> &paths, std::string *refused)
{
    for (const std::string &path : paths)
        if (!is_file_or_link(path) || access(folder_of(path).c_str(), W_OK) != 0) {
            *refused = path;
            return false;
        }
    for (const std::string &path : paths)
        if (unlink(path.c_str()) != 0 && errno != ENOENT) {
            *refused = path;
            return false;
        }
    return true;
}
