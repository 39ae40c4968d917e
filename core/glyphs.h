// Fonts read from a picture of glyphs, as the caption font is: an 8-bit PCX
// picture whose glyphs sit in boxes outlined in colour 255, one for each character
// from ' ' on, found and drawn the way the library finds and draws them. The
// reader trusts nothing in the bytes; neither it nor the drawing needs the library.
#pragma once

#include <cstdint>

#include "core/paint.h"

constexpr int glyph_sheet_side = 1024; // widest and tallest picture of glyphs read, pixels
constexpr int most_glyphs = 224;       // characters ' ' to 255

// A glyph's box: its pixels start at (x + 1, y + 1) and are w x h.
struct glyph_box {
    int x, y, w, h;
};

struct glyph_font {
    uint8_t sheet[glyph_sheet_side * glyph_sheet_side]; // the picture, row by row
    int sheet_width, sheet_height;                      // its size, 1..glyph_sheet_side
    bool mono;  // one ink colour besides 0 and 255: drawn as bits
    int count;  // glyphs, for characters ' ' to ' ' + count - 1
    int height; // the first glyph's height, which centres the others
    glyph_box boxes[most_glyphs];
};

// Read a font picture of `size` bytes into *font (large: give it static storage).
// False when the bytes are not a run-length encoded 8-bit PCX picture of at most
// glyph_sheet_side a side with every row's data present, holding 1 to most_glyphs glyphs.
bool read_glyph_font(const unsigned char *bytes, long size, glyph_font *font);

// Whether the font has a glyph for every character of `text`.
bool has_glyphs(const glyph_font &font, const char *text);

// Read a font picture that every front end may take for the caption: one that
// read_glyph_font accepts with a glyph for every character of the caption.
bool read_caption_glyphs(const unsigned char *bytes, long size, glyph_font *font);

// Draw `text` in a mono font with its right end at `right` and its top at `top`,
// only the glyphs' ink, in `pixel`: what the library's textout_right_ex draws
// with no background. Clipped to the picture.
void draw_text_right(const pixel_rows &picture, const glyph_font &font, const char *text, int right,
                     int top, uint32_t pixel);
