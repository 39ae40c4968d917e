// Only this file and the window's start-up touch the screen and the keyboard.
#include "window/present.h"

#include <allegro.h>

#include "allegro4/toy.h"
#include "platform/signals.h"

void present_frame(BITMAP *back_buffer)
{
    vsync();
    blit(back_buffer, screen, 0, 0, 0, 0, screen_width, screen_height);
}

// The keys the library sees held now, read once for the frame about to run.
static int read_keys()
{
    return (key[KEY_C] ? key_c : 0) | (key[KEY_N] ? key_n : 0) | (key[KEY_M] ? key_m : 0);
}

void run_frames(BITMAP *back_buffer)
{
    const frame_canvas canvas = bitmap_canvas(back_buffer);
    while (!key[KEY_ESC] && !stop_signal) {
        run_frame(read_keys(), canvas);
        present_frame(back_buffer);
    }
}
