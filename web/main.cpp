// The web page's side of the toy: the one frame, run over an array of pixels that
// the page's script puts on its canvas. The script calls these three functions;
// it hands in the keys held and reads back what the frame did, nothing more.
#include <emscripten.h>

#include "app/frame.h"
#include "display/glyphs.h"
#include "display/lattice.h"
#include "display/paint.h"
#include "display/ramps.h"

extern const unsigned char caption_font_bytes[];
extern const long caption_font_size;

// The picture as the canvas takes it: bytes red, green, blue, 255 per pixel.
static uint32_t picture[screen_height][screen_width];
static uint32_t *picture_rows[screen_height];

// The caption font, read from the built-in bytes; count 0 when they were refused.
static glyph_font caption_glyphs;

// A colour red << 16 | green << 8 | blue as the canvas's pixel, opaque.
static uint32_t canvas_pixel(uint32_t rgb)
{
    return 0xFF000000u | (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

static void clear_picture(void *)
{
    fill_pixels({picture_rows, screen_width, screen_height}, canvas_pixel(0));
}

static void paint_picture(void *, const int32_t *grid)
{
    static int colors[ramp_size];
    for (int v = 0; v < ramp_size; v++) // black stays 0: a black cell is skipped
        colors[v] = cell_rgb(v) == 0 ? 0 : static_cast<int>(canvas_pixel(cell_rgb(v)));
    paint_cells({picture_rows, screen_width, screen_height}, grid, colors);
}

static void caption_picture(void *)
{
    if (caption_glyphs.count > 0)
        draw_text_right({picture_rows, screen_width, screen_height}, caption_glyphs, caption_text,
                        caption_right, caption_top,
                        canvas_pixel(caption_grey << 16 | caption_grey << 8 | caption_grey));
}

static const frame_canvas canvas = {nullptr, clear_picture, paint_picture, caption_picture};

// The keys a frame is handed, and what it did, as bits for the script.
enum { key_c = 1, key_n = 2, key_m = 4 };
enum { did_colors = 1, did_world = 2, did_nudge = 4, did_watch = 8 };

// Start a world from `seed`. Returns 1, or 0 when the caption font was refused
// (the toy then runs without its caption).
extern "C" EMSCRIPTEN_KEEPALIVE int start_page(uint32_t seed)
{
    for (int y = 0; y < screen_height; y++)
        picture_rows[y] = picture[y];
    size_cells();
    start_world(seed);
    const bool font_read = read_glyph_font(caption_font_bytes, caption_font_size, &caption_glyphs) &&
                           caption_glyphs.mono && has_glyphs(caption_glyphs, caption_text);
    if (!font_read)
        caption_glyphs.count = 0;
    return font_read;
}

// Run one frame with the keys held (key_* bits) and leave its picture for the
// canvas. Returns what the frame did (did_* bits).
extern "C" EMSCRIPTEN_KEEPALIVE int run_page_frame(int keys)
{
    const frame_result done =
        run_frame({(keys & key_c) != 0, (keys & key_n) != 0, (keys & key_m) != 0}, canvas);
    return (done.new_colors ? did_colors : 0) | (done.new_world ? did_world : 0) |
           (done.nudged_rule ? did_nudge : 0) | (done.watch_asked ? did_watch : 0);
}

// Where the canvas's pixels are: screen_width x screen_height, four bytes each.
extern "C" EMSCRIPTEN_KEEPALIVE uint32_t *page_pixels()
{
    return &picture[0][0];
}
