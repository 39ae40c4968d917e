// The recorder's files: every one is written under a temporary name in its own
// folder and renamed into place only when whole, so an interrupted or failed run
// never leaves a part of a file under a final name. PNG frames are encoded on
// the machine's other cores from a bounded queue of picture copies.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

struct BITMAP;

// A file being written: its final name, its temporary name and the open stream.
struct whole_file {
    std::string path, temporary;
    FILE *stream;
};

// Create a new temporary file beside `path` (exclusively, never through a link).
bool open_whole_file(const std::string &path, whole_file *file);

// Close the file and rename it over its final name; false, and nothing left, on failure.
bool commit_whole_file(whole_file *file);

// Close and remove the temporary file.
void drop_whole_file(whole_file *file);

// Write `size` bytes as the whole file `path`.
bool write_whole_file(const std::string &path, const void *data, size_t size);

// A 32-bit picture (red << 16 | green << 8 | blue per pixel, rows `pitch` pixels
// apart) as an 8-bit RGB PNG into an open stream.
bool encode_png(FILE *stream, const unsigned *pixels, int width, int height, int pitch);

// The same picture, rows one after another, as the whole PNG file `path`.
bool write_png_file(const std::string &path, const unsigned *pixels, int width, int height);

// Start the encoders; false when their memory cannot be had.
bool start_encoders();

// Copy the back buffer and have it written as the PNG `path`; waits while every
// copy is still being encoded. False once any frame has failed to be written.
bool queue_frame(const std::string &path, BITMAP *back_buffer);

// Wait for every queued frame, stop the encoders and free their copies. Returns false, with the
// path of the first frame that could not be written in *failed, when one failed.
bool finish_encoders(std::string *failed);
