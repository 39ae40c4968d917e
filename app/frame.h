// The toy's start-up after the library is running, and its frame: the phases
// that build one picture in a back buffer. The window program and the recorder
// share all of it; each shows or keeps the picture its own way.
#pragma once

#include <cstdint>

struct BITMAP;
struct FONT;

constexpr int screen_width = 800;  // window and back buffer, pixels across
constexpr int screen_height = 600; // window and back buffer, pixels down

// Font of the caption: loaded from the font file, or the library's own when that fails.
extern FONT *caption_font;

// Seed the random source, create the back buffer, load the caption font from
// font_path, seed the world and draw the first colours. Returns the back buffer;
// exits with status -1 when it cannot be created.
BITMAP *start_toy(uint32_t seed, const char *font_path);

// Destroy the back buffer that start_toy created.
void stop_toy(BITMAP *back_buffer);

// Build one frame in the back buffer: controls, clear, sweep and paint, commit, caption.
void run_frame(BITMAP *back_buffer);

// Draw the caption, right end at x = 780, on top of whatever is there.
void draw_caption(BITMAP *back_buffer);
