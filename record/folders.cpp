// Folders are listed once each, and every kind is asked about every name in
// them: no list of names here can fall out of step with what the kinds write.
#include "record/folders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/files.h"
#include "files/whole_file.h"

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

// The folders the run writes into, each once.
static std::vector<std::string> recording_folders(const options &o)
{
    std::vector<std::string> folders;
    if (writes_files(o))
        folders.push_back(o.out);
    if (!o.video.empty() && std::find(folders.begin(), folders.end(), folder_of(o.video)) ==
                                folders.end())
        folders.push_back(folder_of(o.video));
    return folders;
}

bool lock_folders(const options &o, std::string *taken)
{
    for (const std::string &folder : recording_folders(o))
        if (!lock_folder(folder)) {
            *taken = folder;
            return false;
        }
    return true;
}

// Whether one of the outputs says the file `name` in `folder` is its own.
static bool is_recording_file(const options &o, const std::vector<const output *> &wanted,
                              const std::string &folder, const char *name)
{
    for (const output *kind : wanted)
        if (kind->is_mine && kind->is_mine(o, folder, name))
            return true;
    return false;
}

bool find_earlier_files(const options &o, const std::vector<const output *> &wanted,
                        std::vector<std::string> *earlier, std::vector<std::string> *abandoned,
                        std::string *unlisted)
{
    for (const std::string &folder : recording_folders(o)) {
        DIR *listing = opendir(folder.c_str());
        if (!listing && errno == ENOENT)
            continue;
        if (!listing) {
            *unlisted = folder;
            return false;
        }
        std::string final_name;
        while (const dirent *entry = readdir(listing))
            if (is_recording_file(o, wanted, folder, entry->d_name))
                earlier->push_back(folder + "/" + entry->d_name);
            else if (is_abandoned_temporary(entry->d_name, &final_name) &&
                     is_recording_file(o, wanted, folder, final_name.c_str()))
                abandoned->push_back(folder + "/" + entry->d_name);
        closedir(listing);
    }
    std::sort(earlier->begin(), earlier->end());
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
