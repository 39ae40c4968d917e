// The web page's bridge to the toy: the core's run, over its pixel canvas, as
// functions the page's script calls, and text passed both ways through one
// buffer. The script hands in the keys held live and reads back what the frame
// did; the run keeps the holds, and the constants the script needs come from here.
#include <emscripten.h>

#include <cstdio>

#include "core/canvas.h"
#include "core/flash.h"
#include "core/frame.h"
#include "core/keys.h"
#include "core/link.h"
#include "core/run.h"

extern const unsigned char caption_font_bytes[];
extern const long caption_font_size;

constexpr int most_text = 1 << 18; // bytes of text passed between the script and here

// Text from the script (a link's list of holds) or for it (a list, a fault, the constants).
static char text[most_text];

// The core's constants the script uses, as one JSON object into the text; its length.
extern "C" EMSCRIPTEN_KEEPALIVE int page_constants()
{
    return snprintf(text, sizeof text,
                    "{\"width\":%d,\"height\":%d,\"key_c\":%d,\"key_n\":%d,\"key_m\":%d,"
                    "\"key_esc\":%d,\"frame_keys\":%d,\"did_recolor\":%d,\"did_reseed\":%d,"
                    "\"did_mutate\":%d,\"did_watch\":%d,\"most_frames\":%llu,\"most_holds\":%d,"
                    "\"run_ended\":%d,\"most_seed\":%u,\"guarded_gap\":%d,"
                    "\"most_flashes_a_second\":%d}",
                    screen_width, screen_height, key_c, key_n, key_m, key_esc, frame_keys,
                    did_recolor, did_reseed, did_mutate, did_watch,
                    static_cast<unsigned long long>(most_frames), most_holds, run_ended,
                    4294967295u, guarded_gap, most_flashes_a_second);
}

// Start a run from `seed` with no holds. Returns 1, or 0 when the caption font
// was refused (the toy then runs without its caption).
extern "C" EMSCRIPTEN_KEEPALIVE int start_page(uint32_t seed)
{
    start_run(seed);
    return start_canvas(caption_font_bytes, caption_font_size);
}

// The next generation with the keys held live; nothing painted. What it did
// (did_* bits), or run_ended.
extern "C" EMSCRIPTEN_KEEPALIVE int advance_page(int live)
{
    return advance_run(live);
}

// Paint the world as it stands into the canvas's pixels.
extern "C" EMSCRIPTEN_KEEPALIVE void paint_page()
{
    paint_frame(pixel_canvas());
}

// The run's frame count, the keys its last generation was given, the holds'
// keys at frame k (Esc included), and whether its holds still replay it.
extern "C" EMSCRIPTEN_KEEPALIVE double page_frames()
{
    return static_cast<double>(run_frames());
}
extern "C" EMSCRIPTEN_KEEPALIVE int page_keys()
{
    return run_keys();
}
extern "C" EMSCRIPTEN_KEEPALIVE int page_keys_at(double k)
{
    return run_keys_at(static_cast<uint64_t>(k));
}
extern "C" EMSCRIPTEN_KEEPALIVE int page_is_recorded()
{
    return run_is_recorded();
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

// Read the first `length` bytes of the text as the run's holds. Returns how
// many, or -1 with the fault in the text (the list is taken whole or not at all).
extern "C" EMSCRIPTEN_KEEPALIVE int page_read_holds(int length)
{
    const char *fault = read_run_holds(text, static_cast<size_t>(length));
    if (*fault == '\0')
        return run_hold_count();
    snprintf(text, sizeof text, "%s", fault);
    return -1;
}

// The run's holds as a list into the text. Returns its length, or -1 when it does not fit.
extern "C" EMSCRIPTEN_KEEPALIVE int page_write_holds()
{
    return write_run_holds(text, most_text);
}

// Read the first `length` bytes of the text as the run's holds in the compact
// code. Returns how many, or -1 with the fault in the text (none taken).
extern "C" EMSCRIPTEN_KEEPALIVE int page_read_code(int length)
{
    static hold read[most_holds];
    int count = 0;
    const char *fault =
        read_compact_holds(text, static_cast<size_t>(length), read, most_holds, &count);
    if (*fault == '\0' && replace_run_holds(read, count))
        return count;
    snprintf(text, sizeof text, "%s", *fault ? fault : "more holds than a run can keep");
    return -1;
}

// The run's holds in the compact code into the text. Returns its length, or -1.
extern "C" EMSCRIPTEN_KEEPALIVE int page_write_code()
{
    return write_compact_holds(run_holds(), run_hold_count(), text, most_text);
}

// The picture painted last into the flash count: the most flashes a second any
// part of it shows now. And the count started afresh.
extern "C" EMSCRIPTEN_KEEPALIVE int page_note_flashes()
{
    return note_flashes(canvas_pixels());
}
extern "C" EMSCRIPTEN_KEEPALIVE void page_clear_flashes()
{
    clear_flashes();
}

// Whether the run's holds give C or N more often than the flash guard would.
extern "C" EMSCRIPTEN_KEEPALIVE int page_holds_flash()
{
    return holds_flash(run_holds(), run_hold_count());
}
