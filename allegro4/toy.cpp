// The frame's drawing phases done by the library, on the back buffer.
#include "allegro4/toy.h"

#include <allegro.h>

#include "allegro4/draw.h"
#include "allegro4/font.h"

FONT *caption_font;

BITMAP *start_toy(const char *font_path)
{
    BITMAP *back_buffer = create_bitmap(screen_width, screen_height);
    if (!back_buffer)
        return nullptr;
    caption_font = load_caption_font(font_path);
    if (!caption_font)
        caption_font = font;
    return back_buffer;
}

void destroy_back_buffer(BITMAP *back_buffer)
{
    destroy_bitmap(back_buffer);
}

void draw_caption(BITMAP *back_buffer)
{
    textout_right_ex(back_buffer, caption_font, caption_text, caption_right, caption_top,
                     makecol(caption_grey, caption_grey, caption_grey), -1);
}

static void clear_back_buffer(void *surface)
{
    clear_bitmap(static_cast<BITMAP *>(surface));
}

static void paint_back_buffer(void *surface, const int32_t *grid)
{
    paint_bitmap(static_cast<BITMAP *>(surface), grid);
}

static void caption_back_buffer(void *surface)
{
    draw_caption(static_cast<BITMAP *>(surface));
}

frame_canvas bitmap_canvas(BITMAP *back_buffer)
{
    return {back_buffer, clear_back_buffer, paint_back_buffer, caption_back_buffer};
}
