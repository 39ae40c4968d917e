// make-icon: the toy's icon, from one of its own frames. Runs seed 2 headless for
// 300 frames, as the recorder would, and shrinks the middle 256 x 256 pixels of
// the picture four times, averaging each 4 x 4 block, into a 64 x 64 PNG.
#include <allegro.h>

#include <cstdio>

#include "app/font.h"
#include "app/frame.h"
#include "app/headless.h"
#include "display/lattice.h"
#include "files/png.h"

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: make-icon FILE.png\n");
        return 2;
    }
    size_cells();
    start_headless_library();
    BITMAP *back_buffer = start_toy(2, find_caption_font(false).c_str());
    for (int k = 1; k <= 300; k++)
        run_frame(back_buffer);

    constexpr int side = 64, shrink = 4;
    static unsigned icon[side * side];
    const int left = (screen_width - side * shrink) / 2, top = (screen_height - side * shrink) / 2;
    for (int y = 0; y < side; y++)
        for (int x = 0; x < side; x++) {
            unsigned sum[3] = {0, 0, 0};
            for (int dy = 0; dy < shrink; dy++)
                for (int dx = 0; dx < shrink; dx++) {
                    const int p =
                        _getpixel32(back_buffer, left + x * shrink + dx, top + y * shrink + dy);
                    sum[0] += getr32(p), sum[1] += getg32(p), sum[2] += getb32(p);
                }
            const unsigned n = shrink * shrink;
            icon[y * side + x] = (sum[0] / n) << 16 | (sum[1] / n) << 8 | sum[2] / n;
        }
    const bool written = write_png_file(argv[1], icon, side, side);
    stop_toy(back_buffer);
    if (!written) {
        fprintf(stderr, "make-icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
END_OF_MAIN()
