// One frame of the toy, phase by phase. Each phase runs to completion before the
// next begins; none of them touches the screen.
#include "app/frame.h"

#include <allegro.h>

#include <cstdlib>

#include "app/controls.h"
#include "app/font.h"
#include "automaton/grid.h"
#include "automaton/sweep.h"
#include "base/random.h"
#include "display/draw.h"
#include "display/ramps.h"

FONT *caption_font;

BITMAP *start_toy(uint32_t seed, const char *font_path)
{
    seed_random(seed);
    sweep_version = widest_sweep();
    BITMAP *back_buffer = create_bitmap(screen_width, screen_height);
    if (!back_buffer) {
        allegro_message("lincell: not enough memory for the %d x %d back buffer.\n", screen_width,
                        screen_height);
        exit(-1);
    }
    caption_font = load_caption_font(font_path);
    if (!caption_font)
        caption_font = font;
    seed_world();
    generate_color_ramps();
    return back_buffer;
}

void stop_toy(BITMAP *back_buffer)
{
    destroy_bitmap(back_buffer);
}

void draw_caption(BITMAP *back_buffer)
{
    textout_right_ex(back_buffer, caption_font, caption_text, 780, 10, makecol(128, 128, 128), -1);
}

void run_frame(BITMAP *back_buffer)
{
    apply_controls();                  // C, N, M and the watch's reseed request
    clear_bitmap(back_buffer);         // every pixel to colour 0
    sweep_grid();                      // the rule over the torus into next_grid
    draw_grid(back_buffer, next_grid); // the new generation, painted in sweep order
    commit_grid();                     // next_grid becomes the world; the watch looks on
    draw_caption(back_buffer);         // over the cells, never under them
}
