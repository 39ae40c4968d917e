// Pictures as PNG files: 32-bit pixels (red << 16 | green << 8 | blue) written as
// 8-bit RGB, quickly, with the same bytes for the same picture every time.
#pragma once

#include <cstdio>
#include <string>

// A picture, rows `pitch` pixels apart, as a PNG into an open stream.
bool encode_png(FILE *stream, const unsigned *pixels, int width, int height, int pitch);

// The same picture, rows one after another, as the whole PNG file `path`.
bool write_png_file(const std::string &path, const unsigned *pixels, int width, int height);
