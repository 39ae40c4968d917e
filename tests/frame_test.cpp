// Frames, drawing and the caption font, headless: the fast painter against one
// rectfill per cell, N with the watch's flag raised, the window's loop with Esc
// already down, and the font against damaged and crafted files, each refused
// before the library's reader can crash, hang or eat memory on it.
#include <gtest/gtest.h>

#include <allegro.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "app/controls.h"
#include "app/font.h"
#include "app/frame.h"
#include "automaton/grid.h"
#include "automaton/rule.h"
#include "base/random.h"
#include "display/draw.h"
#include "display/lattice.h"
#include "display/ramps.h"
#include "tests/headless.h"
#include "tests/reference.h"

// The fast painter writes squares straight into a 32-bit memory bitmap; a bitmap of
// another depth, or clipped, takes one rectfill per cell in sweep order. Both must
// give the same overlaps, black cells and edges.
TEST(CellDrawing, PainterMatchesOneRectfillPerCell)
{
    start_headless();
    static int32_t grid[world_cells];
    BITMAP *bitmap = create_bitmap(800, 600), *expected = create_bitmap(800, 600);
    seed_random(7);
    for (int trial = 0; trial < 12; trial++) {
        SCOPED_TRACE(trial);
        generate_color_ramps();
        for (int32_t &v : grid)
            v = random_in_range(0, 255) * (random_in_range(0, 3) != 0);
        const bool clipped = trial % 3 == 2; // a clip rectangle takes the library's path
        for (BITMAP *b : {bitmap, expected}) {
            clear_to_color(b, makecol(9, 9, 9));
            set_clip_rect(b, clipped ? 20 : 0, clipped ? 30 : 0, clipped ? 700 : 799, 599);
        }
        draw_grid(bitmap, grid);
        for (int x = 0; x < world_width; x++)
            for (int y = 0; y < world_height; y++) {
                const int color = cell_color(grid[cell_index(x, y)]);
                if (color > 0)
                    draw_cell(expected, cell_origin_x(x), cell_origin_y(y), color);
            }
        for (int y = 0; y < 600; y++)
            ASSERT_EQ(memcmp(bitmap->line[y], expected->line[y], 800 * 4), 0) << "row " << y;
    }
    destroy_bitmap(expected);
    destroy_bitmap(bitmap);
}

TEST(Controls, NHeldWithTheFlagRaisedReseedsOnce)
{
    reset_world();
    key[KEY_N] = 1;
    reseed_flag = 1;
    seed_random(5);
    apply_controls();
    key[KEY_N] = 0;
    const uint32_t after_one_reseed = random_state;
    seed_random(5);
    for (int i = 0; i < world_cells + rule_taps + 1; i++)
        next_random();
    EXPECT_EQ(after_one_reseed, random_state);
    EXPECT_EQ(reseed_flag, 0);
    EXPECT_EQ(still_count, 0) << "the reseed leaves the count alone";
}

TEST(FrameLoop, EscDownBeforeTheFirstFrameRunsNone)
{
    start_headless();
    reset_world();
    BITMAP *buffer = start_toy(2026, LINCELL_FONT_FILE);
    key[KEY_ESC] = 1;
    const uint32_t state = random_state;
    run_frames(buffer); // headless there is no screen: a presented frame would crash
    key[KEY_ESC] = 0;
    EXPECT_EQ(random_state, state);
    EXPECT_EQ(still_count, 0) << "no commit ran";
    stop_toy(buffer);
}

using bytes = std::string;

// A PCX header: 8 bits in one plane, run-length encoded, unless told otherwise.
static bytes pcx_header(int width, int height, int bytes_per_line, int planes = 1)
{
    bytes h(128, '\0');
    h[0] = 10, h[1] = 5, h[2] = 1, h[3] = 8;
    auto word = [&h](int at, int v) {
        h[at] = static_cast<char>(v), h[at + 1] = static_cast<char>(v >> 8);
    };
    word(8, width - 1), word(10, height - 1), word(66, bytes_per_line);
    h[65] = static_cast<char>(planes);
    return h;
}

TEST(CaptionFont, DamagedOrCraftedFilesFallBackToTheLibrarysFont)
{
    start_headless();
    std::ifstream in(LINCELL_FONT_FILE, std::ios::binary);
    const bytes real(std::istreambuf_iterator<char>(in), {});
    ASSERT_GT(real.size(), 1000u);
    const bytes blank_rows(61 * 113, '\0');
    const struct {
        const char *label;
        bytes content;
    } cases[] = {
        {"empty", ""},
        {"not a picture", bytes(600, 'x')},
        {"real font cut to 100 bytes", real.substr(0, 100)},
        {"real font cut to 129 bytes", real.substr(0, 129)},
        {"real font cut to 3000 bytes", real.substr(0, 3000)},
        {"65536 x 65536, wrapping the library's size",
         pcx_header(65536, 65536, 65535) + bytes(4096, '\x01')},
        {"65535 x 16384", pcx_header(65535, 16384, 65535) + bytes(4096, '\x01')},
        {"bytes per line below the width", pcx_header(113, 61, 100) + blank_rows},
        {"24 bits", pcx_header(113, 61, 113, 3) + blank_rows + blank_rows + blank_rows},
        {"not run-length encoded", real.substr(0, 2) + '\0' + real.substr(3)},
        {"a picture with no glyphs", pcx_header(113, 61, 113) + blank_rows},
        {"a 2 x 2 picture", pcx_header(2, 2, 2) + bytes("\xff\xff\xff\x00", 4)},
    };
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    const std::string path = testing::TempDir() + "font.pcx";
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        std::ofstream(path, std::ios::binary) << c.content;
        EXPECT_EQ(load_caption_font(path.c_str()), nullptr);
    }
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "no case may cost much memory";

    SCOPED_TRACE("not a regular file, or none at all");
    const std::string fifo = testing::TempDir() + "fifo.pcx";
    unlink(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(load_caption_font(fifo.c_str()), nullptr) << "and returns at once";
    EXPECT_EQ(load_caption_font(testing::TempDir().c_str()), nullptr);
    EXPECT_EQ(load_caption_font("/dev/zero"), nullptr);
    EXPECT_EQ(load_caption_font("no-such-folder/myfont.pcx"), nullptr);
    unlink(fifo.c_str());

    BITMAP *buffer = start_toy(1, fifo.c_str());
    EXPECT_EQ(caption_font, font) << "the toy starts with the library's font";
    stop_toy(buffer);
}

// The checked load gives the very glyphs the library's own loader gives.
TEST(CaptionFont, TheRealFontLoadsAsTheLibraryLoadsIt)
{
    start_headless();
    FONT *checked = load_caption_font(LINCELL_FONT_FILE);
    FONT *library = load_font(LINCELL_FONT_FILE, nullptr, nullptr);
    ASSERT_TRUE(checked && library);
    BITMAP *a = create_bitmap(600, 12), *b = create_bitmap(600, 12);
    clear_bitmap(a), clear_bitmap(b);
    const char all[] = " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`"
                       "abcdefghijklmnopqrstuvwxyz{|}~";
    textout_ex(a, checked, all, 0, 0, makecol(128, 128, 128), -1);
    textout_ex(b, library, all, 0, 0, makecol(128, 128, 128), -1);
    for (int y = 0; y < 12; y++)
        EXPECT_EQ(memcmp(a->line[y], b->line[y], 600 * 4), 0) << "row " << y;
    destroy_bitmap(a), destroy_bitmap(b);
    destroy_font(checked), destroy_font(library);
}
