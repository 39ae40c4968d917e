// The library without a display, started once per test process.
#include "tests/headless.h"

#include <allegro.h>

#include "app/frame.h"
#include "display/lattice.h"

void start_headless()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    size_cells();
    start_headless_library();
}

int pixel_at(BITMAP *bitmap, int x, int y)
{
    return _getpixel32(bitmap, x, y);
}
