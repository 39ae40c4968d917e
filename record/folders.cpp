// Folders are listed once each, and every kind is asked about every name in
// them: no list of names here can fall out of step with what the kinds write.
#include "record/folders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/files.h"
#include "platform/programs.h"
#include "platform/whole_file.h"

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

// The folders the run writes into, each once however it is spelled.
static std::vector<std::string> recording_folders(const options &o)
{
    std::vector<std::string> folders;
    if (writes_files(o))
        folders.push_back(o.out);
    if (!o.video.empty() && (folders.empty() || !same_folder(folders[0], folder_of(o.video))))
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

// Whether the hidden `name` in `folder` is a temporary a killed run left of one of
// the outputs' files; a name cut short is matched by the same cut.
static bool is_abandoned(const options &o, const std::vector<const output *> &wanted,
                         const std::string &folder, const char *name)
{
    std::string final_name;
    if (!is_abandoned_temporary(name, &final_name))
        return false;
    return is_recording_file(o, wanted, folder, final_name.c_str()) ||
           (!o.video.empty() && is_temporary_of(name, name_of(o.video)) &&
            same_folder(folder, folder_of(o.video)));
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
        while (const dirent *entry = readdir(listing)) {
            const std::string path = folder + "/" + entry->d_name;
            if (is_recording_file(o, wanted, folder, entry->d_name))
                earlier->push_back(path);
            else if (is_abandoned(o, wanted, folder, entry->d_name) && is_file_or_link(path))
                abandoned->push_back(path);
        }
        closedir(listing);
    }
    std::sort(earlier->begin(), earlier->end());
    return true;
}

// The name of a holding folder, whose number is its process's: the same test of
// identity as the temporaries' names.
static const char holding_name[] = "lincell-overwritten";

std::vector<std::string> find_set_aside(const options &o)
{
    std::vector<std::string> found;
    for (const std::string &folder : recording_folders(o)) {
        DIR *listing = opendir(folder.c_str());
        if (!listing)
            continue; // missing; one that cannot be listed is refused after
        while (const dirent *entry = readdir(listing)) {
            std::string name;
            const std::string path = folder + "/" + entry->d_name;
            if (is_abandoned_temporary(entry->d_name, &name) && name == holding_name &&
                is_real_folder(path))
                found.push_back(path);
        }
        closedir(listing);
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string settle_set_aside(const std::string &held, bool remove)
{
    std::vector<std::string> names;
    if (DIR *listing = opendir(held.c_str())) {
        while (const dirent *entry = readdir(listing))
            if (is_file_or_link(held + "/" + entry->d_name))
                names.push_back(entry->d_name);
        closedir(listing);
    }
    std::sort(names.begin(), names.end());
    int done = 0, stayed = 0;
    for (const std::string &name : names) {
        const std::string from = held + "/" + name, to = folder_of(held) + "/" + name;
        const bool ok = remove ? unlink(from.c_str()) == 0
                               : name_is_free(to) && rename(from.c_str(), to.c_str()) == 0;
        ok ? done++ : stayed++;
    }
    rmdir(held.c_str());
    std::string said = std::to_string(done) + (remove ? " removed" : " put back") + " of the " +
                       std::to_string(names.size()) + " files a stopped --overwrite set aside in " +
                       held;
    if (stayed > 0)
        said += "; " + std::to_string(stayed) + " stay there" +
                (remove ? ", which could not be removed" : ", their names being taken");
    return said;
}

void clear_abandoned(const std::vector<std::string> &paths)
{
    for (const std::string &path : paths)
        unlink(path.c_str());
}

// A hidden folder made now beside `path`, to hold files on their way out.
static std::string make_holding_folder(const std::string &path)
{
    for (int attempt = 0; attempt < 100; attempt++) {
        const std::string folder = folder_of(path) + "/." + holding_name + "." +
                                   std::to_string(process_id()) + "-" + std::to_string(attempt);
        if (make_new_folder(folder))
            return folder;
        if (errno != EEXIST)
            break;
    }
    return "";
}

bool remove_files(const std::vector<std::string> &paths, std::string *refused)
{
    // Every file is first renamed into a holding folder beside it; only when all
    // of them are there is any removed, and on a failure each goes back.
    struct move {
        std::string from, to;
    };
    std::vector<move> moved;
    std::vector<std::pair<std::string, std::string>> holding; // folder, its holding folder
    bool all_there = true;
    for (const std::string &path : paths) {
        std::string hold;
        for (const auto &h : holding)
            if (h.first == folder_of(path))
                hold = h.second;
        if (hold.empty() && is_file_or_link(path) && !(hold = make_holding_folder(path)).empty())
            holding.push_back({folder_of(path), hold});
        const std::string to = hold + "/" + name_of(path);
        if (hold.empty() || !is_file_or_link(path) || rename(path.c_str(), to.c_str()) != 0) {
            *refused = path;
            all_there = false;
            break;
        }
        moved.push_back({path, to});
    }
    for (const move &m : moved)
        if (!all_there || unlink(m.to.c_str()) != 0) {
            if (rename(m.to.c_str(), m.from.c_str()) != 0 && all_there)
                *refused = m.from;
            all_there = false;
        }
    for (const auto &h : holding)
        rmdir(h.second.c_str()); // left, with what it holds, only if something could not go back
    return all_there;
}
