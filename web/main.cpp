// The web page's side of the toy: the one frame, run over the core's pixel
// canvas, which the page's script puts on its own; and the run's keys as the
// page's link carries them, in the recorder's --hold grammar, read and written
// by the core's own parser. The script hands in the keys held (key_* bits) and
// reads back what the frame did (did_* bits), nothing more.
#include <emscripten.h>

#include <cstring>

#include "core/canvas.h"
#include "core/frame.h"
#include "core/keys.h"

extern const unsigned char caption_font_bytes[];
extern const long caption_font_size;

constexpr int most_holds = 4096;   // holds a run's link can carry
constexpr int most_text = 1 << 16; // bytes of text passed between the script and here

// The run's holds: the link's first, then those of the keys pressed on the page.
static hold holds[most_holds];
static int hold_count;

// Text from the script (a link's list of holds) or for it (a list, or a fault).
static char text[most_text];

// Start a world from `seed` with no holds. Returns 1, or 0 when the caption font
// was refused (the toy then runs without its caption).
extern "C" EMSCRIPTEN_KEEPALIVE int start_page(uint32_t seed)
{
    hold_count = 0;
    start_world(seed);
    return start_canvas(caption_font_bytes, caption_font_size);
}

// Run one frame with the keys held and leave its picture for the canvas.
extern "C" EMSCRIPTEN_KEEPALIVE int run_page_frame(int keys)
{
    return run_frame(keys & frame_keys, pixel_canvas());
}

// The same frame drawn nowhere: for the frames before the one a link shows.
extern "C" EMSCRIPTEN_KEEPALIVE int run_page_frame_unseen(int keys)
{
    static const frame_canvas nowhere = {nullptr, [](void *) {}, [](void *, const int32_t *) {},
                                         [](void *) {}};
    return run_frame(keys & frame_keys, nowhere);
}

// Where the canvas's pixels are: screen_width x screen_height, four bytes each.
extern "C" EMSCRIPTEN_KEEPALIVE const uint32_t *page_pixels()
{
    return canvas_pixels();
}

// The text buffer, most_text bytes; its size.
extern "C" EMSCRIPTEN_KEEPALIVE char *page_text()
{
    return text;
}
extern "C" EMSCRIPTEN_KEEPALIVE int page_text_size()
{
    return most_text;
}

// Read the text as the run's holds, a list of KEYS@A[-B] parted by commas, in
// place of any there were. Returns how many, or -1 with the fault in the text
// (and no holds): a list is taken whole or not at all.
extern "C" EMSCRIPTEN_KEEPALIVE int page_read_holds()
{
    hold_count = 0;
    const char *fault = "";
    for (char *item = text; *fault == '\0' && *item;) {
        char *comma = strchr(item, ',');
        if (comma)
            *comma = '\0';
        if (hold_count == most_holds)
            fault = "more holds than a link can carry";
        else
            fault = parse_hold(item, &holds[hold_count++]);
        item = comma ? comma + 1 : item + strlen(item);
    }
    if (*fault == '\0')
        return hold_count;
    hold_count = 0;
    strcpy(text, fault);
    return -1;
}

// The holds' keys at frame k, Esc included.
extern "C" EMSCRIPTEN_KEEPALIVE int page_keys_at(double k)
{
    return keys_at(holds, hold_count, static_cast<uint64_t>(k));
}

// Note that the page's own keys were held at frame k: they join the last hold
// when it is of the same keys and ends at k - 1. Returns 0 when there is no
// room for another hold (the link then no longer follows the run).
extern "C" EMSCRIPTEN_KEEPALIVE int page_note_keys(double frame, int keys)
{
    const uint64_t k = static_cast<uint64_t>(frame);
    if (hold_count > 0 && holds[hold_count - 1].keys == keys &&
        holds[hold_count - 1].last + 1 == k) {
        holds[hold_count - 1].last = k;
        return 1;
    }
    if (hold_count == most_holds)
        return 0;
    holds[hold_count++] = {keys, k, k};
    return 1;
}

// The holds as a list into the text. Returns its length, or -1 when it does not fit.
extern "C" EMSCRIPTEN_KEEPALIVE int page_write_holds()
{
    int length = 0;
    text[0] = '\0';
    for (int i = 0; i < hold_count; i++) {
        if (i > 0 && length + 1 < most_text)
            text[length++] = ',';
        const int n = write_hold(holds[i], text + length, most_text - length);
        if (n == 0)
            return -1;
        length += n;
    }
    text[length] = '\0';
    return length;
}
