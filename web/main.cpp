// The web page's side of the toy: the one frame, run over the core's pixel
// canvas, which the page's script puts on its own. The script calls these
// functions; it hands in the keys held (key_* bits) and reads back what the frame
// did (did_* bits), nothing more.
#include <emscripten.h>

#include "core/canvas.h"
#include "core/frame.h"

extern const unsigned char caption_font_bytes[];
extern const long caption_font_size;

// Start a world from `seed`. Returns 1, or 0 when the caption font was refused
// (the toy then runs without its caption).
extern "C" EMSCRIPTEN_KEEPALIVE int start_page(uint32_t seed)
{
    start_world(seed);
    return start_canvas(caption_font_bytes, caption_font_size);
}

// Run one frame with the keys held and leave its picture for the canvas.
extern "C" EMSCRIPTEN_KEEPALIVE int run_page_frame(int keys)
{
    return run_frame(keys & frame_keys, pixel_canvas());
}

// Where the canvas's pixels are: screen_width x screen_height, four bytes each.
extern "C" EMSCRIPTEN_KEEPALIVE const uint32_t *page_pixels()
{
    return canvas_pixels();
}
