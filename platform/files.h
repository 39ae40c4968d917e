// Files and folders as the programs use them: paths split one way everywhere,
// files opened so that no link or FIFO can trick them, replaced whole, and a
// folder held by one recording at a time. files_posix.cpp and files_windows.cpp
// hold what differs; paths.cpp what does not. On Windows the paths that the
// program finds for itself (executable_folder, then path_exists, open_for_reading
// and read_small_file) are UTF-8, so any folder name works; the others are in the
// ANSI code page, as the command line gives them.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Characters that end a folder's name in a path: '/', and on Windows '\\' too.
extern const char folder_separators[];

// The folder part of a path, "." when it has none, and the name after it.
std::string folder_of(const std::string &path);
std::string name_of(const std::string &path);

// The folder of the running executable, with its last separator, or "" when unknown.
std::string executable_folder();

// Open an existing file for reading, in binary, without waiting on a FIFO.
int open_for_reading(const char *path);

// Whether anything (a file, a folder) is at `path`.
bool path_exists(const std::string &path);

// Whether no file, folder or link has the name `path`.
bool name_is_free(const std::string &path);

// Whether `path` names a folder itself, not a link to one.
bool is_real_folder(const std::string &path);

// Whether `path` is a folder, or a link to one.
bool is_folder(const std::string &path);

// Whether `path` is a folder this process may make files in.
bool is_writable_folder(const std::string &path);

// The size in bytes of what is at `path`, or -1 when nothing can be found there.
long long file_size(const std::string &path);

// The names in the folder `path`, "." and ".." left out, into *names. False when
// it cannot be listed; *missing then says whether there is no such folder.
bool list_folder(const std::string &path, std::vector<std::string> *names, bool *missing);

// Give a file, link or folder the name `to`, which must be free: never replacing.
bool move_file(const std::string &from, const std::string &to);

// Remove a file or a link (never what it points to), or an empty folder.
bool remove_file(const std::string &path);
bool remove_folder(const std::string &path);

// Read the whole of the regular file `path` into `buffer` when it holds at most
// `most` bytes, its size into *size; false for anything else (missing, not a
// regular file, larger, unreadable). Never waits on a FIFO or device.
bool read_small_file(const char *path, unsigned char *buffer, long most, long *size);

// Create a new file for writing, in binary: never an existing one, never through
// a link. nullptr, with errno set (EEXIST when the name is taken), when it cannot.
FILE *create_new_file(const char *path);

// Put the file `from` in place of `to`, atomically, replacing what `to` was.
bool replace_file(const std::string &from, const std::string &to);

// Make one folder; true when it was made or already exists.
bool make_folder(const std::string &path);

// Make one folder that only this user may enter; true only when it was made now.
bool make_new_folder(const std::string &path);

// Whether the two paths name one and the same folder, however each is spelled.
bool same_folder(const std::string &a, const std::string &b);

// Whether `path` names a link (never followed) or a regular file.
bool is_file_or_link(const std::string &path);

// A scratch file for reading and writing, gone when closed (and on Windows,
// where it cannot be removed while open, when the last handle to it closes).
FILE *open_scratch_file();

// Hold an exclusive lock on the folder until the process ends; false only when
// another process holds it.
bool lock_folder(const std::string &path);
