// The caption font against damaged and crafted files, each refused before the
// library's reader can crash, hang or eat memory on it; and the real font,
// loaded the checked way, draws exactly as the library's own loader has it.
#include <gtest/gtest.h>

#include <allegro.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "app/font.h"
#include "app/toy.h"
#include "display/glyphs.h"
#include "tests/headless.h"

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

// The checked load gives the very glyphs the library's own loader gives, and our
// own reader, which the web page draws with, draws them as the library does; a
// line cut by the picture's edges included.
TEST(CaptionFont, TheRealFontLoadsAndDrawsAsTheLibraryHasIt)
{
    start_headless();
    FONT *checked = load_caption_font(LINCELL_FONT_FILE);
    FONT *library = load_font(LINCELL_FONT_FILE, nullptr, nullptr);
    std::ifstream in(LINCELL_FONT_FILE, std::ios::binary);
    const bytes real(std::istreambuf_iterator<char>(in), {});
    static glyph_font ours;
    ASSERT_TRUE(checked && library);
    ASSERT_TRUE(read_glyph_font(reinterpret_cast<const unsigned char *>(real.data()),
                                static_cast<long>(real.size()), &ours) && ours.mono);
    const char all[] = " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`"
                       "abcdefghijklmnopqrstuvwxyz{|}~";
    ASSERT_TRUE(has_glyphs(ours, all));
    const int grey = makecol(128, 128, 128);
    for (const int right : {620, 590, 300}) {
        SCOPED_TRACE(right);
        BITMAP *a = create_bitmap(600, 12), *b = create_bitmap(600, 12), *c = create_bitmap(600, 12);
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
