// Folders are listed once each, and every kind is asked about every name in
// them: no list of names here can fall out of step with what the kinds write.
#include "record/folders.h"

#include <algorithm>
#include <cstring>

#include "platform/files.h"
#include "platform/removal.h"
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
    return is_writable_folder(path);
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
        std::vector<std::string> names;
        bool missing;
        const bool listed = list_folder(folder, &names, &missing);
        if (!listed && missing)
            continue;
        if (!listed) {
            *unlisted = folder;
            return false;
        }
        for (const std::string &name : names) {
            const std::string path = folder + "/" + name;
            if (is_recording_file(o, wanted, folder, name.c_str()))
                earlier->push_back(path);
            else if (is_abandoned(o, wanted, folder, name.c_str()) && is_file_or_link(path))
                abandoned->push_back(path);
        }
    }
    std::sort(earlier->begin(), earlier->end());
    return true;
}

std::vector<std::string> find_set_aside(const options &o)
{
    std::vector<std::string> found;
    for (const std::string &folder : recording_folders(o)) {
        std::vector<std::string> names;
        bool missing;
        list_folder(folder, &names, &missing); // one that cannot be listed is refused after
        for (const std::string &name : names)
            if (is_left_aside(folder, name.c_str()))
                found.push_back(folder + "/" + name);
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string settle_set_aside(const std::string &aside, bool remove)
{
    const settled result = settle_aside(aside, remove);
    std::string said = std::to_string(result.done) + (remove ? " removed" : " put back") +
                       " of the " + std::to_string(result.files) +
                       " files a stopped --overwrite set aside in " + aside;
    if (result.done < result.files)
        said += "; " + std::to_string(result.files - result.done) + " stay there" +
                (remove ? ", which could not be removed" : ", their names being taken");
    return said;
}

void clear_abandoned(const std::vector<std::string> &paths)
{
    for (const std::string &path : paths)
        remove_file(path);
}
