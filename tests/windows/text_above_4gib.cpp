// Windows check: text drawn into a bitmap whose pixels lie above 4 GiB lands
// there. A 64-bit library that keeps addresses in 32-bit integers writes to a
// truncated address instead and crashes. Prints "ok" and exits 0 on success.
#include <allegro.h>
#include <winalleg.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "allegro4/font.h"
#include "allegro4/toy.h"

int main()
{
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    const int w = 200, h = 40, pitch = w * 4;
    auto *high = static_cast<unsigned char *>(
        VirtualAlloc(nullptr, pitch * h, MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN, PAGE_READWRITE));
    if (!high || reinterpret_cast<uintptr_t>(high) >> 32 == 0) {
        printf("no memory above 4 GiB to test with (%p)\n", static_cast<void *>(high));
        return 1;
    }
    // A memory bitmap draws through its line pointers: point them at the high block.
    BITMAP *bitmap = create_bitmap(w, h);
    for (int y = 0; y < h; y++)
        bitmap->line[y] = high + y * pitch;
    clear_bitmap(bitmap);

    caption_font = load_caption_font("myfont.pcx");
    textout_ex(bitmap, caption_font ? caption_font : font, caption_text, 2, 2,
               makecol(128, 128, 128), -1);
    textout_ex(bitmap, font, "8x8", 2, 20, makecol(255, 255, 255), 0);

    long lit = 0;
    for (int i = 0; i < pitch * h; i += 4)
        lit += *reinterpret_cast<uint32_t *>(high + i) != 0;
    printf("bitmap at %p: %ld pixels of text\n", static_cast<void *>(high), lit);
    if (lit < 50)
        return 1;
    printf("ok\n");
    return 0;
}
END_OF_MAIN()
