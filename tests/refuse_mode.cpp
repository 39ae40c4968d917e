// Preloaded into the window program by a window test: the graphics mode is refused,
// as on a desktop that cannot give an 800 x 600 window.
#include <allegro.h>

extern "C" int set_gfx_mode(int, int, int, int, int)
{
    ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, "no graphics mode for this test");
    return -1;
}
