// Without a graphics driver nothing sets the pixel layout, so it is pinned here.
#include "allegro4/headless.h"

#include <allegro.h>

#include <cerrno>
#include <cstdlib>

void start_headless_allegro()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    _rgb_r_shift_32 = 16;
    _rgb_g_shift_32 = 8;
    _rgb_b_shift_32 = 0;
    _rgb_a_shift_32 = 24;
}
