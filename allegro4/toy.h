// The toy with the library: its start-up once the library is running, the back
// buffer every frame is drawn into, and the caption. The window program and the
// recorder share all of it; each shows or keeps the picture its own way.
#pragma once

#include <cstdint>

#include "core/frame.h"

struct BITMAP;
struct FONT;

// Font of the caption: loaded from the font file, or the library's own when that fails.
extern FONT *caption_font;

// Create the back buffer and load the caption font from font_path, once the
// library runs; start the world apart (start_world, or start_run). Returns the
// back buffer, or nullptr, with nothing loaded, when it cannot be created.
BITMAP *start_toy(const char *font_path);

// Destroy the back buffer that start_toy created; the font stays until the process ends.
void destroy_back_buffer(BITMAP *back_buffer);

// The frame's canvas over a library bitmap: cleared, painted and captioned by the library.
frame_canvas bitmap_canvas(BITMAP *back_buffer);

// Draw the caption, right end at x = 780, on top of whatever is there.
void draw_caption(BITMAP *back_buffer);
