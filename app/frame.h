// The toy's frame, the one every front end runs: the window, the recorder and the
// web page each hand it the keys held for this frame and a canvas to draw on, and
// read back what it did. Plain C++: the library and the page stay in their front ends.
#pragma once

#include <cstdint>

constexpr int screen_width = 800;  // the picture, pixels across
constexpr int screen_height = 600; // the picture, pixels down

// The caption: where the toy lives, in mid grey, its right end at (780, 10), drawn
// over the cells. A caption font has a glyph for each of its characters.
extern const char caption_text[];
constexpr int caption_right = 780;
constexpr int caption_top = 10;
constexpr int caption_grey = 128; // red, green and blue alike

// The keys held during one frame, read once by the front end.
struct frame_input {
    bool new_colors; // C
    bool new_world;  // N
    bool nudge_rule; // M
};

// What one frame's controls did.
struct frame_result {
    bool new_colors;  // the colour ramps were drawn again (C)
    bool new_world;   // a new world and rule were seeded (N, or the watch's request)
    bool nudged_rule; // the rule was nudged (M)
    bool watch_asked; // the watch's request was pending (it joins N in one reseed)
};

// Where a frame is drawn: the three drawing phases over a surface of the front
// end's (a library bitmap, or an array of pixels for a page's canvas).
struct frame_canvas {
    void *surface;
    void (*clear)(void *surface);                             // every pixel to colour 0
    void (*paint_cells)(void *surface, const int32_t *grid); // a generation, in sweep order
    void (*draw_caption)(void *surface);                      // the caption, over the cells
};

// Start a world as the program starts one: everything zero, then the random source
// seeded, the sweep picked, the world seeded and the first colours drawn.
void start_world(uint32_t seed);

// Build one frame: controls, clear, sweep, paint, commit, caption.
frame_result run_frame(const frame_input &keys, const frame_canvas &canvas);
