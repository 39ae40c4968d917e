// The toy's frame, the one every front end runs: the window, the recorder and the
// web page each hand it the keys held for this frame and a canvas to draw on, and
// read back what it did. Plain C++: the library and the page stay in their front ends.
#pragma once

#include <cstdint>

#include "core/keys.h"

constexpr int screen_width = 800;  // the picture, pixels across
constexpr int screen_height = 600; // the picture, pixels down

// The caption: where the toy lives, in mid grey, its right end at (780, 10), drawn
// over the cells. A caption font has a glyph for each of its characters.
extern const char caption_text[];
constexpr int caption_right = 780;
constexpr int caption_top = 10;
constexpr int caption_grey = 128; // red, green and blue alike

// What one frame's controls did, one bit each, as run_frame returns it.
enum : int {
    did_recolor = 1, // new colour ramps were picked (C)
    did_reseed = 2,  // a new world and rule were seeded (N, or the watch's request)
    did_mutate = 4,  // the rule was mutated (M)
    did_watch = 8,   // the watch's request was pending (it joins N in one reseed)
};

// Where a frame is drawn: the three drawing phases over a surface of the front
// end's (a library bitmap, or an array of pixels for a page's canvas).
struct frame_canvas {
    void *surface;
    void (*clear)(void *surface);                      // every pixel to colour 0
    void (*paint)(void *surface, const int32_t *grid); // a generation, in sweep order
    void (*caption)(void *surface);                    // the caption, over the cells
};

// Start a world as the program starts one: everything zero, then the random source
// seeded, the sweep picked, the world seeded and the first colours picked.
void start_world(uint32_t seed);

// Build one frame with the keys held (key_* bits; Esc is the front end's): controls,
// clear, sweep, paint, commit, caption. Returns what the controls did (did_* bits).
int run_frame(int keys, const frame_canvas &canvas);

// The same frame in two halves, for a front end that shows only some frames:
// advance_frame runs the controls, the sweep and the commit and paints nothing;
// paint_frame then paints the world as it stands, the picture run_frame paints.
int advance_frame(int keys);
void paint_frame(const frame_canvas &canvas);

// What a frame left, to be read and never written: the world, the rule and the watch.
struct world_view {
    const int32_t *cells; // width x height values 0..255, column-major: (x, y) at x * height + y
    int width, height;    // 256 x 192
    const float *weights; // the rule's weights, w0..w8
    int weight_count;     // 9
    float gain;           // the rule's gain
    int still_count;      // the watch's unchanged readings in a row, 0 and up
    int reseed_flag;      // 1 while the watch asks for a new world and rule
};
world_view view_world();
