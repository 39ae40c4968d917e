// The caption font under libFuzzer: bytes through our checker and, when it accepts
// them, the library's own reader, with the library started without a display; a
// font that loads is drawn once into a memory bitmap, as the toy draws its caption.
#include <allegro.h>

#include <cstddef>
#include <cstdint>

#include "allegro4/font.h"
#include "allegro4/headless.h"
#include "core/frame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static BITMAP *picture = nullptr;
    if (!picture) {
        start_headless_allegro();
        picture = create_bitmap(800, 40);
    }
    FONT *f = load_caption_font_from(data, static_cast<long>(size));
    if (f) {
        textout_right_ex(picture, f, caption_text, 780, 10, makecol(128, 128, 128), -1);
        destroy_font(f);
    }
    return 0;
}
