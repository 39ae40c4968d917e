// Files that appear whole or not at all: each is written under a temporary name
// in its own folder and renamed into place only when complete, so an interrupted
// or failed write never leaves part of a file under its final name.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// A file being written: its final name, its temporary name and the open stream
// (nullptr when another program writes it).
struct whole_file {
    std::string path, temporary;
    FILE *stream;
};

// Whether `name` is a temporary name that a process no longer running gave a
// file (one a killed writer left behind); if so, the final name in *final_name,
// cut short as the temporary's name was where the whole would pass 255 bytes.
bool is_abandoned_temporary(const char *name, std::string *final_name);

// Whether `name` is a temporary name of a file named `final_name`, cut short or not.
bool is_temporary_of(const char *name, const std::string &final_name);

// Create a new temporary file beside `path` (exclusively, never through a link).
bool open_whole_file(const std::string &path, whole_file *file);

// Only the temporary name beside `path`, taken by an empty file that another
// program (ffmpeg) will write; no stream is left open (stream is nullptr).
bool reserve_whole_file(const std::string &path, whole_file *file);

// Close the file and rename it over its final name; false, and nothing left, on failure.
bool commit_whole_file(whole_file *file);

// Close and remove the temporary file.
void drop_whole_file(whole_file *file);

// Write `size` bytes as the whole file `path`.
bool write_whole_file(const std::string &path, const void *data, size_t size);
