// The caption font against the fuzzing corpus's damaged and crafted files and
// files that are no pictures at all, each refused before the library's reader can
// crash, hang or eat memory on it; and the real font, loaded the checked way,
// draws exactly as the library's own loader has it.
#include <gtest/gtest.h>

#include <allegro.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "allegro4/font.h"
#include "allegro4/headless.h"
#include "allegro4/toy.h"
#include "core/glyphs.h"

using bytes = std::string;

// Every crafted or damaged font of the fuzzing corpus is refused, the real one aside.
TEST(CaptionFont, DamagedOrCraftedFilesFallBackToTheLibrarysFont)
{
    start_headless_allegro();
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    int refused = 0;
    for (const auto &file : std::filesystem::directory_iterator(LINCELL_FONT_CORPUS))
        if (file.path().filename() != "real.pcx") {
            SCOPED_TRACE(file.path().filename());
            EXPECT_EQ(load_caption_font(file.path().c_str()), nullptr);
            refused++;
        }
    EXPECT_GE(refused, 14) << "the corpus found, every file of it read";
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

    BITMAP *buffer = start_toy(fifo.c_str());
    EXPECT_EQ(caption_font, font) << "the toy starts with the library's font";
    destroy_back_buffer(buffer);
}

// The checked load gives the very glyphs the library's own loader gives, and our
// own reader, which the web page draws with, draws them as the library does; a
// line cut by the picture's edges included.
TEST(CaptionFont, TheRealFontLoadsAndDrawsAsTheLibraryHasIt)
{
    start_headless_allegro();
    FONT *checked = load_caption_font(LINCELL_FONT_FILE);
    FONT *library = load_font(LINCELL_FONT_FILE, nullptr, nullptr);
    std::ifstream in(LINCELL_FONT_FILE, std::ios::binary);
    const bytes real(std::istreambuf_iterator<char>(in), {});
    static glyph_font ours;
    ASSERT_TRUE(checked && library);
    ASSERT_TRUE(read_glyph_font(reinterpret_cast<const unsigned char *>(real.data()),
                                static_cast<long>(real.size()), &ours) &&
                ours.mono);
    const char all[] = " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`"
                       "abcdefghijklmnopqrstuvwxyz{|}~";
    ASSERT_TRUE(has_glyphs(ours, all));
    const int grey = makecol(128, 128, 128);
    for (const int right : {620, 590, 300}) {
        SCOPED_TRACE(right);
        BITMAP *a = create_bitmap(600, 12), *b = create_bitmap(600, 12),
               *c = create_bitmap(600, 12);
        clear_bitmap(a), clear_bitmap(b), clear_bitmap(c);
        textout_right_ex(a, checked, all, right, -2, grey, -1);
        textout_right_ex(b, library, all, right, -2, grey, -1);
        uint32_t *rows[12];
        for (int y = 0; y < 12; y++)
            rows[y] = reinterpret_cast<uint32_t *>(c->line[y]);
        draw_text_right({rows, 600, 12}, ours, all, right, -2, static_cast<uint32_t>(grey));
        for (int y = 0; y < 12; y++) {
            EXPECT_EQ(memcmp(a->line[y], b->line[y], 600 * 4), 0) << "row " << y;
            EXPECT_EQ(memcmp(c->line[y], b->line[y], 600 * 4), 0) << "row " << y;
        }
        destroy_bitmap(a), destroy_bitmap(b), destroy_bitmap(c);
    }
    destroy_font(checked), destroy_font(library);
}
