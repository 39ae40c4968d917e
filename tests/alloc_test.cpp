// The heap seen from inside: malloc, calloc and realloc are replaced here and
// passed on to the C library, counting every call, or refusing large blocks.
// The frame loop allocates nothing in a thousand frames with every key held now
// and then; a back buffer that cannot be had is said, not a crash or an exit.
#include <gtest/gtest.h>

#include <allegro.h>

#include <unistd.h>

#include <cstddef>
#include <cstdint>

#include "allegro4/headless.h"
#include "allegro4/toy.h"

extern "C" void *__libc_malloc(size_t);
extern "C" void *__libc_calloc(size_t, size_t);
extern "C" void *__libc_realloc(void *, size_t);

static long heap_calls;
static size_t refuse_from = SIZE_MAX; // blocks this large or larger are refused

extern "C" void *malloc(size_t size)
{
    heap_calls++;
    return size >= refuse_from ? nullptr : __libc_malloc(size);
}

extern "C" void *calloc(size_t count, size_t size)
{
    heap_calls++;
    return __libc_calloc(count, size);
}

extern "C" void *realloc(void *block, size_t size)
{
    heap_calls++;
    return __libc_realloc(block, size);
}

TEST(FrameLoop, AllocatesNothingInAThousandFrames)
{
    start_headless_allegro();
    start_world(1);
    BITMAP *buffer = start_toy(LINCELL_FONT_FILE);
    const frame_canvas canvas = bitmap_canvas(buffer);
    run_frame(0, canvas); // anything done once, on first use, is done here
    const long before = heap_calls;
    for (int frame = 0; frame < 1000; frame++)
        run_frame((frame % 50 == 0 ? key_c : 0) | (frame % 70 == 0 ? key_n : 0) |
                      (frame % 3 == 0 ? key_m : 0),
                  canvas);
    EXPECT_EQ(heap_calls - before, 0);
    destroy_back_buffer(buffer);
}

TEST(StartUp, NoMemoryForTheBackBufferIsTheCallersToHandle)
{
    start_headless_allegro();
    refuse_from = 1 << 20;
    BITMAP *buffer = start_toy(LINCELL_FONT_FILE);
    refuse_from = SIZE_MAX;
    EXPECT_EQ(buffer, nullptr) << "no back buffer, no exit: the program decides";
    buffer = start_toy(LINCELL_FONT_FILE);
    ASSERT_NE(buffer, nullptr) << "and a later try with memory to spare works";
    destroy_back_buffer(buffer);
}
