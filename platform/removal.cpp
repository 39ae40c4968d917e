// The set-aside folder is named as a whole file's temporary is, with this
// process's number, so that the same test tells one a killed run left.
#include "platform/removal.h"

#include <algorithm>
#include <cerrno>

#include "platform/files.h"
#include "platform/programs.h"
#include "platform/whole_file.h"

// The set-aside folder's name, before the temporaries' mark of its process.
static const char aside_name[] = "lincell-overwritten";

// A hidden folder made now beside `path`, to hold files on their way out.
static std::string make_aside_folder(const std::string &path)
{
    for (int attempt = 0; attempt < 100; attempt++) {
        const std::string folder = folder_of(path) + "/." + aside_name + "." +
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
    struct move {
        std::string from, to;
    };
    std::vector<move> moved;
    std::vector<std::pair<std::string, std::string>> asides; // folder, its set-aside folder
    bool all_there = true;
    for (const std::string &path : paths) {
        std::string aside;
        for (const auto &a : asides)
            if (a.first == folder_of(path))
                aside = a.second;
        if (aside.empty() && is_file_or_link(path) && !(aside = make_aside_folder(path)).empty())
            asides.push_back({folder_of(path), aside});
        const std::string to = aside + "/" + name_of(path);
        if (aside.empty() || !is_file_or_link(path) || !move_file(path, to)) {
            *refused = path;
            all_there = false;
            break;
        }
        moved.push_back({path, to});
    }
    for (const move &m : moved)
        if (!all_there || !remove_file(m.to)) {
            if (!move_file(m.to, m.from) && all_there)
                *refused = m.from;
            all_there = false;
        }
    for (const auto &a : asides)
        remove_folder(a.second); // left, with what it holds, only if something could not go back
    return all_there;
}

bool is_left_aside(const std::string &folder, const char *name)
{
    std::string final_name;
    return is_abandoned_temporary(name, &final_name) && final_name == aside_name &&
           is_real_folder(folder + "/" + name);
}

settled settle_aside(const std::string &aside, bool remove)
{
    std::vector<std::string> names, files;
    bool missing;
    list_folder(aside, &names, &missing);
    for (const std::string &name : names)
        if (is_file_or_link(aside + "/" + name))
            files.push_back(name);
    std::sort(files.begin(), files.end());
    settled result = {static_cast<int>(files.size()), 0};
    for (const std::string &name : files) {
        const std::string from = aside + "/" + name, to = folder_of(aside) + "/" + name;
        if (remove ? remove_file(from) : name_is_free(to) && move_file(from, to))
            result.done++;
    }
    remove_folder(aside);
    return result;
}
