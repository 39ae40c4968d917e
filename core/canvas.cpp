// The canvas's picture and its three drawing phases. Black is skipped as the
// library's drawing skips colour 0, although its opaque pixel is not 0.
#include "core/canvas.h"

#include "core/glyphs.h"
#include "core/paint.h"
#include "core/ramps.h"

// The picture, and its rows as the painters take them.
static uint32_t picture[screen_height][screen_width];
static uint32_t *picture_rows[screen_height];
static const pixel_rows rows = {picture_rows, screen_width, screen_height};

// The caption font; count 0 when it was refused.
static glyph_font caption_glyphs;

uint32_t canvas_pixel(int red, int green, int blue)
{
    return 0xFF000000u | static_cast<uint32_t>(blue) << 16 | static_cast<uint32_t>(green) << 8 |
           static_cast<uint32_t>(red);
}

// A cell's colour in the table: its pixel, or 0 for black, which is not painted.
static int cell_pixel(int red, int green, int blue)
{
    return red == 0 && green == 0 && blue == 0 ? 0
                                               : static_cast<int>(canvas_pixel(red, green, blue));
}

static void clear_picture(void *)
{
    fill_pixels(rows, canvas_pixel(0, 0, 0));
}

static void paint_picture(void *, const int32_t *grid)
{
    static int colors[ramp_size];
    fill_color_table(cell_pixel, colors);
    paint_cells(rows, grid, colors);
}

static void caption_picture(void *)
{
    if (caption_glyphs.count > 0)
        draw_text_right(rows, caption_glyphs, caption_text, caption_right, caption_top,
                        canvas_pixel(caption_grey, caption_grey, caption_grey));
}

// The rows point into the picture from the first use on.
static void find_rows()
{
    for (int y = 0; y < screen_height; y++)
        picture_rows[y] = picture[y];
}

bool start_canvas(const unsigned char *font_bytes, long size)
{
    find_rows();
    const bool font_read =
        read_caption_glyphs(font_bytes, size, &caption_glyphs) && caption_glyphs.mono;
    if (!font_read)
        caption_glyphs.count = 0;
    return font_read;
}

frame_canvas pixel_canvas()
{
    if (!picture_rows[0])
        find_rows();
    return {nullptr, clear_picture, paint_picture, caption_picture};
}

const uint32_t *canvas_pixels()
{
    return &picture[0][0];
}
