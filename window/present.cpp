// Only this file and the window's start-up touch the screen.
#include "window/present.h"

#include <allegro.h>

#include "app/frame.h"
#include "base/signals.h"

void present_frame(BITMAP *back_buffer)
{
    vsync();
    blit(back_buffer, screen, 0, 0, 0, 0, screen_width, screen_height);
}

void run_frames(BITMAP *back_buffer)
{
    while (!key[KEY_ESC] && !stop_signal) {
        run_frame(back_buffer);
        present_frame(back_buffer);
    }
}
