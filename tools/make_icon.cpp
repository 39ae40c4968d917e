// make-icon: the toy's icon, from one of its own frames. Runs seed 2 headless for
// 300 frames, as the recorder would, and shrinks a square from the middle of the
// picture to SIZE x SIZE pixels, averaging each block, into a PNG, or into an XPM
// (C source the window program builds in, for its window's icon), or into a
// Windows icon holding 16, 32, 48 and 256 pixels as PNGs.
#include <allegro.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "allegro4/font.h"
#include "allegro4/headless.h"
#include "allegro4/toy.h"
#include "platform/whole_file.h"
#include "record/png.h"

constexpr int largest = 256;     // pixels; the middle square of the picture the icons come from
constexpr int largest_png = 512; // pixels; a PNG above `largest` is the largest icon enlarged

// The icon as rows of red << 16 | green << 8 | blue, each pixel the mean of a
// shrink x shrink block of the middle of the picture.
static std::vector<unsigned> shrink_picture(BITMAP *picture, int side)
{
    if (side > largest) {
        const std::vector<unsigned> whole = shrink_picture(picture, largest);
        std::vector<unsigned> icon(static_cast<size_t>(side * side));
        for (int y = 0; y < side; y++)
            for (int x = 0; x < side; x++)
                icon[static_cast<size_t>(y * side + x)] =
                    whole[static_cast<size_t>(y * largest / side * largest + x * largest / side)];
        return icon;
    }
    const int shrink = largest / side;
    const int left = (screen_width - side * shrink) / 2, top = (screen_height - side * shrink) / 2;
    std::vector<unsigned> icon(side * side);
    for (int y = 0; y < side; y++)
        for (int x = 0; x < side; x++) {
            unsigned sum[3] = {0, 0, 0};
            for (int dy = 0; dy < shrink; dy++)
                for (int dx = 0; dx < shrink; dx++) {
                    const int p =
                        _getpixel32(picture, left + x * shrink + dx, top + y * shrink + dy);
                    sum[0] += getr32(p), sum[1] += getg32(p), sum[2] += getb32(p);
                }
            const unsigned n = shrink * shrink;
            icon[y * side + x] = (sum[0] / n) << 16 | (sum[1] / n) << 8 | sum[2] / n;
        }
    return icon;
}

// The icon as XPM: a C array named lincell_icon, each colour named by two characters.
static std::string xpm_of(const std::vector<unsigned> &icon, int side)
{
    static const char code[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const int codes = sizeof code - 1;
    std::vector<unsigned> colors;
    std::vector<int> index(icon.size());
    for (size_t i = 0; i < icon.size(); i++) {
        size_t c = 0;
        while (c < colors.size() && colors[c] != icon[i])
            c++;
        if (c == colors.size())
            colors.push_back(icon[i]);
        index[i] = static_cast<int>(c);
    }
    char line[64];
    std::string xpm = "/* XPM */\nstatic const char *lincell_icon[] = {\n";
    snprintf(line, sizeof line, "\"%d %d %zu 2\",\n", side, side, colors.size());
    xpm += line;
    for (size_t c = 0; c < colors.size(); c++) {
        snprintf(line, sizeof line, "\"%c%c c #%06X\",\n", code[c / codes], code[c % codes],
                 colors[c]);
        xpm += line;
    }
    for (int y = 0; y < side; y++) {
        xpm += '"';
        for (int x = 0; x < side; x++) {
            const int c = index[y * side + x];
            xpm += code[c / codes], xpm += code[c % codes];
        }
        xpm += y + 1 < side ? "\",\n" : "\"};\n";
    }
    return xpm;
}

// The icon at one size as PNG bytes.
static std::string png_of(const std::vector<unsigned> &icon, int side)
{
    char *bytes = nullptr;
    size_t size = 0;
    FILE *stream = open_memstream(&bytes, &size);
    const bool encoded = stream && encode_png(stream, icon.data(), side, side, side);
    if (stream)
        fclose(stream);
    std::string png = encoded ? std::string(bytes, size) : "";
    free(bytes);
    return png;
}

// A Windows icon: a directory of images, each a whole PNG.
static std::string ico_of(BITMAP *picture)
{
    static const int sides[] = {16, 32, 48, 256};
    constexpr int count = sizeof sides / sizeof sides[0];
    auto word = [](std::string &s, unsigned v, int bytes) {
        for (int i = 0; i < bytes; i++)
            s += static_cast<char>(v >> 8 * i);
    };
    std::string head, images;
    word(head, 0, 2), word(head, 1, 2), word(head, count, 2);
    for (int side : sides) {
        const std::string png = png_of(shrink_picture(picture, side), side);
        head += static_cast<char>(side & 255), head += static_cast<char>(side & 255);
        word(head, 0, 2), word(head, 1, 2), word(head, 32, 2);
        word(head, static_cast<unsigned>(png.size()), 4);
        word(head, static_cast<unsigned>(6 + 16 * count + images.size()), 4);
        images += png;
    }
    return head + images;
}

static bool ends_with(const std::string &path, const char *ending)
{
    const size_t n = strlen(ending);
    return path.size() > n && path.compare(path.size() - n, n, ending) == 0;
}

int main(int argc, char **argv)
{
    const bool ico = argc == 2 && ends_with(argv[1], ".ico");
    const int side = argc == 3 ? atoi(argv[1]) : 0;
    const std::string path = argc == 3 ? argv[2] : ico ? argv[1] : "";
    const bool xpm = ends_with(path, ".xpm");
    if (!ico && (side < 1 || side > largest_png || (side > 62 && xpm))) {
        fprintf(stderr, "usage: make-icon SIZE FILE.png|FILE.xpm   (SIZE 1..512, 1..62 for XPM)\n"
                        "       make-icon FILE.ico\n");
        return 2;
    }
    start_headless_allegro();
    start_world(2);
    BITMAP *back_buffer = start_toy(find_caption_font(program_folders_only).c_str());
    for (int k = 1; k <= 300; k++)
        run_frame(0, bitmap_canvas(back_buffer));
    std::string bytes;
    if (ico)
        bytes = ico_of(back_buffer);
    else if (xpm)
        bytes = xpm_of(shrink_picture(back_buffer, side), side);
    else
        bytes = png_of(shrink_picture(back_buffer, side), side);
    destroy_back_buffer(back_buffer);
    const bool written = !bytes.empty() && write_whole_file(path, bytes.data(), bytes.size());
    if (!written) {
        fprintf(stderr, "make-icon: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
END_OF_MAIN()
