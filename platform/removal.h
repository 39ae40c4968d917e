// Removing a set of the user's files all or none: every one is first set aside
// in a hidden folder beside it, and only when all of them are there is any
// removed. A run killed midway leaves the set-aside folder for the next to find.
#pragma once

#include <string>
#include <vector>

// Remove the files, all or none: each must be a file or a link. False, with
// the first that cannot go in *refused, and every file where it was, otherwise.
bool remove_files(const std::vector<std::string> &paths, std::string *refused);

// Whether `name` in a folder is a set-aside folder that a killed run left (one
// whose process is no longer running), its files still in it.
bool is_left_aside(const std::string &folder, const char *name);

// What settling a set-aside folder did: of its `files`, `done` were removed or put back.
struct settled {
    int files, done;
};

// Finish what a killed removal began in the set-aside folder `aside`: with
// `remove`, remove the files it holds; otherwise put each back where its name
// is free. Either way the folder goes once empty.
settled settle_aside(const std::string &aside, bool remove);
