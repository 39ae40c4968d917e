// The PCX reader keeps to the library's own: a run may overshoot a row's end and
// is then cut there; pixels past the picture's edge read as -1, so a box's search
// stops at the edge and a mono glyph reaching past it is inked there.
#include "core/glyphs.h"

#include "core/frame.h"

constexpr int header_bytes = 128;
constexpr int border = 255; // the colour that outlines the glyphs' boxes

static int word_at(const unsigned char *bytes, int offset)
{
    return bytes[offset] | bytes[offset + 1] << 8;
}

// Decode the picture's rows into the sheet; false for anything but a sane 8-bit
// run-length picture whose every row is there before the bytes end.
static bool read_sheet(const unsigned char *bytes, long size, glyph_font *font)
{
    if (size <= header_bytes || bytes[0] != 10 || bytes[2] != 1 || bytes[3] != 8 || bytes[65] != 1)
        return false;
    const int width = word_at(bytes, 8) - word_at(bytes, 4) + 1;
    const int height = word_at(bytes, 10) - word_at(bytes, 6) + 1;
    const int bytes_per_line = word_at(bytes, 66);
    if (width < 1 || width > glyph_sheet_side || height < 1 || height > glyph_sheet_side ||
        bytes_per_line < width || bytes_per_line > glyph_sheet_side)
        return false;
    font->sheet_width = width, font->sheet_height = height;
    long at = header_bytes;
    for (int y = 0; y < height; y++) {
        uint8_t *row = font->sheet + y * width;
        for (int x = 0; x < bytes_per_line;) {
            if (at >= size)
                return false;
            int run = 1;
            if ((bytes[at] & 0xC0) == 0xC0)
                run = bytes[at++] & 0x3F;
            if (at >= size)
                return false;
            const uint8_t value = bytes[at++];
            for (; run > 0; run--, x++)
                if (x < width)
                    row[x] = value;
        }
    }
    return true;
}

static int pixel_at(const glyph_font &font, int x, int y)
{
    if (x < 0 || y < 0 || x >= font.sheet_width || y >= font.sheet_height)
        return -1;
    return font.sheet[y * font.sheet_width + x];
}

// The next glyph's box from (*x, *y) on, scanning rows left to right: its top left
// corner is a border pixel with border to its right and below and none diagonally.
// False when there is none.
static bool find_glyph(const glyph_font &font, int *x, int *y, glyph_box *box)
{
    auto is_border = [&font](int px, int py) { return pixel_at(font, px, py) == border; };
    while (!is_border(*x, *y) || !is_border(*x + 1, *y) || !is_border(*x, *y + 1) ||
           is_border(*x + 1, *y + 1)) {
        if (++*x >= font.sheet_width) {
            *x = 0;
            if (++*y >= font.sheet_height)
                return false;
        }
    }
    int w = 0, h = 0;
    while (is_border(*x + w + 1, *y) && !is_border(*x + w + 1, *y + 1))
        w++;
    while (is_border(*x, *y + h + 1) && !is_border(*x + 1, *y + h + 1))
        h++;
    *box = {*x, *y, w, h};
    return w > 0 && h > 0;
}

// One colour besides 0 and 255 at most.
static bool is_mono(const glyph_font &font)
{
    int ink = -1;
    for (int i = 0; i < font.sheet_width * font.sheet_height; i++) {
        const int pixel = font.sheet[i];
        if (pixel == 0 || pixel == border)
            continue;
        if (ink > 0 && pixel != ink)
            return false;
        ink = pixel;
    }
    return true;
}

bool read_glyph_font(const unsigned char *bytes, long size, glyph_font *font)
{
    font->count = 0;
    if (!read_sheet(bytes, size, font))
        return false;
    glyph_box box;
    for (int x = 0, y = 0; find_glyph(*font, &x, &y, &box); x += box.w) {
        if (font->count == most_glyphs)
            return false;
        font->boxes[font->count++] = box;
    }
    if (font->count == 0)
        return false;
    font->mono = is_mono(*font);
    font->height = font->boxes[0].h;
    return true;
}

// The glyph of character c, or nullptr.
static const glyph_box *glyph_of(const glyph_font &font, char c)
{
    const int index = static_cast<unsigned char>(c) - ' ';
    return index >= 0 && index < font.count ? &font.boxes[index] : nullptr;
}

bool has_glyphs(const glyph_font &font, const char *text)
{
    for (const char *c = text; *c; c++)
        if (!glyph_of(font, *c))
            return false;
    return true;
}

bool read_caption_glyphs(const unsigned char *bytes, long size, glyph_font *font)
{
    return read_glyph_font(bytes, size, font) && has_glyphs(*font, caption_text);
}

void draw_text_right(const pixel_rows &picture, const glyph_font &font, const char *text, int right,
                     int top, uint32_t pixel)
{
    int x = right;
    for (const char *c = text; *c; c++)
        if (const glyph_box *g = glyph_of(font, *c))
            x -= g->w;
    for (const char *c = text; *c; c++) {
        const glyph_box *g = glyph_of(font, *c);
        if (!g)
            continue;
        const int glyph_top = top + (font.height - g->h) / 2;
        for (int j = 0; j < g->h; j++)
            for (int k = 0; k < g->w; k++) {
                const int px = x + k, py = glyph_top + j;
                if (px >= 0 && py >= 0 && px < picture.width && py < picture.height &&
                    pixel_at(font, g->x + k + 1, g->y + j + 1) != 0)
                    picture.rows[py][px] = pixel;
            }
        x += g->w;
    }
}
