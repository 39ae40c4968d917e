// The plain core alone, linked with nothing else, so that a library call slipped
// into it fails here at once: what a frame says it did, from the start-up story
// to keys held together, over a canvas that only notes the order of its phases;
// the keys' text both ways; and the page's pixel canvas.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "automaton/grid.h"
#include "automaton/rule.h"
#include "automaton/watch.h"
#include "core/canvas.h"
#include "core/frame.h"
#include "core/keys.h"
#include "core/ramps.h"

// The drawing phases as letters: clear, paint, caption.
static std::string phases;
static const frame_canvas noting_canvas = {nullptr, [](void *) { phases += 'c'; },
                                           [](void *, const int32_t *) { phases += 'p'; },
                                           [](void *) { phases += 't'; }};

static std::string did(int done)
{
    return std::string(done & did_recolor ? "C" : "") + (done & did_reseed ? "N" : "") +
           (done & did_mutate ? "M" : "") + (done & did_watch ? "w" : "");
}

TEST(Frame, TheStartUpStoryAsItsResultsTellIt)
{
    start_world(2026);
    std::string story;
    for (int frame = 1; frame <= 9; frame++)
        story += did(run_frame(0, noting_canvas)) + "|";
    EXPECT_EQ(story, "||||||Nw|Nw||") << "the watch's two reseeds, at frames 7 and 8";
    EXPECT_EQ(phases.substr(0, 6), "cptcpt") << "clear, paint, caption, in every frame";
}

TEST(Frame, KeysHeldTogetherActInOrderAndJoinTheWatch)
{
    start_world(7);
    const float ramp_before = red_ramp[200];
    reseed_flag = 1;
    EXPECT_EQ(did(run_frame(key_c | key_n | key_m, noting_canvas)), "CNMw")
        << "one reseed for N and the flag together";
    EXPECT_EQ(reseed_flag, 0);
    EXPECT_NE(red_ramp[200], ramp_before);
    // A fresh rule lies on steps of 0.002; mutated once, its weights mostly do not.
    int off_the_steps = 0;
    for (float w : rule_weights)
        off_the_steps += std::abs(w * 500.0 - std::round(w * 500.0)) > 1e-3;
    EXPECT_GT(off_the_steps, 4);
    EXPECT_EQ(did(run_frame(0, noting_canvas)), "") << "no key, no flag: nothing";
}

TEST(Keys, HoldsReadBackAsTheyAreWritten)
{
    for (const char *text : {"C@1", "CNM@5-9", "M@10000000", "esc@3", "NM@1-10000000"}) {
        hold h;
        ASSERT_STREQ(parse_hold(text, &h), "") << text;
        char again[40];
        ASSERT_GT(write_hold(h, again, sizeof again), 0);
        EXPECT_STREQ(again, text);
    }
    hold h;
    ASSERT_STREQ(parse_hold("mc@4-4", &h), "");
    char text[40];
    EXPECT_EQ(write_hold(h, text, 4), 0) << "cut short is refused, not written";
    EXPECT_GT(write_hold(h, text, sizeof text), 0);
    EXPECT_STREQ(text, "CM@4") << "one spelling: letters in C, N, M order, a lone frame alone";
    for (const char *bad : {"", "@5", "X@5", "C@0", "C@5-4", "C@5-", "C@-5", "C@10000001", "C@5x",
                            "C@123456789012345678901234567890", "es@5", "escc@5"})
        EXPECT_STRNE(parse_hold(bad, &h), "") << bad;
}

// The page's canvas: red first in memory, black skipped, the caption in grey
// where the window has it, and a refused font leaves the caption out.
TEST(Canvas, PixelsInTheCanvassOrderWithTheCaption)
{
    std::ifstream file(LINCELL_FONT_FILE, std::ios::binary);
    const std::vector<unsigned char> font((std::istreambuf_iterator<char>(file)), {});
    ASSERT_TRUE(start_canvas(font.data(), static_cast<long>(font.size())));
    EXPECT_EQ(canvas_pixel(1, 2, 3), 0xFF030201u);
    start_world(5);
    run_frame(0, pixel_canvas());
    const uint32_t *p = canvas_pixels();
    EXPECT_EQ(p[0], 0xFF000000u) << "pixels left of the first cell stay black";
    int grey = 0;
    for (int y = 0; y < 40; y++)
        for (int x = 600; x < 781; x++)
            grey += p[y * screen_width + x] == canvas_pixel(128, 128, 128);
    EXPECT_GT(grey, 50) << "the caption, over the cells";
    for (int x = 781; x < screen_width; x++)
        ASSERT_NE(p[12 * screen_width + x], canvas_pixel(128, 128, 128)) << "right of the caption";

    const unsigned char not_a_font[] = {1, 2, 3};
    EXPECT_FALSE(start_canvas(not_a_font, sizeof not_a_font));
    start_world(5);
    run_frame(0, pixel_canvas());
    int grey_without = 0;
    for (int i = 0; i < screen_width * screen_height; i++)
        grey_without += p[i] == canvas_pixel(128, 128, 128);
    EXPECT_LT(grey_without, grey);
}
