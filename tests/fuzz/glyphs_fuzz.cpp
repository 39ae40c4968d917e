// The web page's glyph reader under libFuzzer: bytes read as a font picture and,
// when they are one, every glyph drawn into a picture of pixels, edges included.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "core/glyphs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static glyph_font font;
    static uint32_t pixels[40][800];
    static uint32_t *rows[40];
    for (int y = 0; y < 40; y++)
        rows[y] = pixels[y];
    if (!read_glyph_font(data, static_cast<long>(size), &font))
        return 0;
    char text[most_glyphs + 1];
    int n = 0;
    for (int c = 0; c < font.count; c++)
        text[n++] = static_cast<char>(' ' + c);
    text[n] = '\0';
    for (const int right : {780, 5, 2000})
        draw_text_right({rows, 800, 40}, font, text, right, 10 - right % 7, 0x808080);
    return 0;
}
