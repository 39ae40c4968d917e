// The folders a recording writes into: made when missing, and an earlier
// recording found there either left alone or, with --overwrite, replaced.
#pragma once

#include <string>
#include <vector>

#include "record/output.h"

// Make the folder and its parents, like mkdir -p; false when it cannot be made
// or written into.
bool make_folders(const std::string &path);

// Take the recording's folders for this run alone: false, with the folder in
// *taken, when another recording is writing there.
bool lock_folders(const options &o, std::string *taken);

// The files an earlier recording left where the `wanted` outputs will write:
// in *earlier every file in their folders that one of them says is its own, in
// *abandoned the temporary files of theirs that killed recordings left. False,
// with the folder in *unlisted, when a folder that exists cannot be listed.
bool find_earlier_files(const options &o, const std::vector<const output *> &wanted,
                        std::vector<std::string> *earlier, std::vector<std::string> *abandoned,
                        std::string *unlisted);

// The set-aside folders that killed runs of --overwrite left in the recording's
// folders, with the earlier files they had set aside still in them.
std::vector<std::string> find_set_aside(const options &o);

// Finish what a killed --overwrite began in the set-aside folder `aside`: with
// `remove`, remove the files it holds; otherwise put each back where its name is
// free. Either way the folder goes once empty. Returns what was done, to be said.
std::string settle_set_aside(const std::string &aside, bool remove);

// Remove the temporaries killed runs left, as far as they can be removed.
void clear_abandoned(const std::vector<std::string> &paths);
