// Whole frames, headless: the start-up story, the controls and their order, and
// the caption over the cells. The frame here is the very one the window runs.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cstring>

#include "app/controls.h"
#include "app/frame.h"
#include "base/random.h"
#include "automaton/grid.h"
#include "automaton/rule.h"
#include "display/ramps.h"
#include "tests/headless.h"
#include "tests/reference.h"

class Frame : public testing::Test
{
  protected:
    BITMAP *buffer = nullptr;

    void SetUp() override
    {
        start_headless();
        reset_world();
        buffer = start_toy(2026, LINCELL_FONT_FILE);
        hold(false, false, false);
    }
    void TearDown() override
    {
        hold(false, false, false);
        stop_toy(buffer);
    }
    static void hold(bool c, bool n, bool m)
    {
        key[KEY_C] = c;
        key[KEY_N] = n;
        key[KEY_M] = m;
    }
    // The box the caption's pixels occupy: left, top, right, bottom; left > right when none.
    void caption_box(int box[4])
    {
        box[0] = 800, box[1] = 600, box[2] = -1, box[3] = -1;
        for (int y = 0; y < 600; y++)
            for (int x = 0; x < 800; x++)
                if (pixel_at(buffer, x, y) == makecol(128, 128, 128)) {
                    box[0] = std::min(box[0], x), box[1] = std::min(box[1], y);
                    box[2] = std::max(box[2], x), box[3] = std::max(box[3], y);
                }
    }
};

TEST_F(Frame, StartUpStoryWithNoKeyHeld)
{
    const int32_t count_after[] = {4, 8, 12, 16, 20, 24};
    for (int frame = 1; frame <= 8; frame++) {
        SCOPED_TRACE(frame);
        const uint32_t before = random_state;
        run_frame(buffer);
        const bool reseeded = random_state != before; // only a reseed draws numbers here
        EXPECT_EQ(reseeded, frame >= 7);
        if (frame <= 6) {
            EXPECT_EQ(still_count, count_after[frame - 1]);
            EXPECT_EQ(reseed_flag, frame == 6);
            for (int32_t v : current_grid)
                ASSERT_EQ(v, 0) << "the all-zero rule turns every cell to 0";
        }
        if (frame == 7) {
            EXPECT_EQ(reseed_flag, 1) << "the count survived the reseed, so it rises again";
        }
    }
}

TEST_F(Frame, BlackWorldShowsOnlyTheGreyCaptionAtTheTopRight)
{
    run_frame(buffer);
    int box[4];
    caption_box(box);
    EXPECT_EQ(box[2], 780 - 2) << "right end at 780, less the font's spacing column";
    EXPECT_EQ(box[1], 10);
    EXPECT_LE(box[3], 10 + 8);
    EXPECT_GT(box[2] - box[0], 60);
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++) {
            const bool in_box = x >= box[0] && x <= box[2] && y >= box[1] && y <= box[3];
            const int p = pixel_at(buffer, x, y);
            ASSERT_TRUE(p == 0 || (in_box && p == makecol(128, 128, 128))) << x << "," << y;
        }
}

TEST_F(Frame, CaptionLiesOverTheCells)
{
    const float identity[9] = {1};
    set_rule(identity, 1.0f);
    for (int32_t &v : current_grid)
        v = 255;
    for (int i = 0; i < ramp_size; i++)
        red_ramp[i] = green_ramp[i] = blue_ramp[i] = 1.0f;
    run_frame(buffer);
    int box[4];
    caption_box(box);
    EXPECT_EQ(box[2], 778);
    EXPECT_EQ(pixel_at(buffer, 400, 300), makecol(255, 255, 255));
}

TEST_F(Frame, CaptionFontIsTheToysOwnAndFallsBackToTheLibrarys)
{
    EXPECT_NE(caption_font, font);
    EXPECT_TRUE(is_mono_font(caption_font));
    EXPECT_EQ(text_length(caption_font, "lincell"), 7 * 6);
    EXPECT_EQ(text_height(caption_font), 9);

    stop_toy(buffer);
    destroy_font(caption_font); // the toy holds its font to the end; a second start would not
    buffer = start_toy(2026, "no-such-folder/myfont.pcx");
    EXPECT_EQ(caption_font, font);
    run_frame(buffer); // the caption still draws
    int box[4];
    caption_box(box);
    EXPECT_GE(box[2], 770);
    EXPECT_LE(box[2], 779);
}

TEST_F(Frame, ControlsRecolourThenReseedThenMutate)
{
    hold(true, true, true);
    seed_random(5);
    apply_controls();
    const uint32_t state_after = random_state;
    float weights[9], gain = rule_gain, red[ramp_size];
    memcpy(weights, rule_weights, sizeof weights);
    memcpy(red, red_ramp, sizeof red);
    static int32_t world[world_cells];
    memcpy(world, current_grid, sizeof world);

    seed_random(5);
    generate_color_ramps();
    seed_world();
    randomize_rule();
    mutate_rule();
    EXPECT_EQ(random_state, state_after);
    EXPECT_EQ(memcmp(weights, rule_weights, sizeof weights), 0);
    EXPECT_EQ(gain, rule_gain);
    EXPECT_EQ(memcmp(red, red_ramp, sizeof red), 0);
    EXPECT_EQ(memcmp(world, current_grid, sizeof world), 0);
}

TEST_F(Frame, ControlsEdgeCases)
{
    static int32_t world[world_cells];
    {
        SCOPED_TRACE("N held with the flag raised reseeds once and clears the flag");
        hold(false, true, false);
        reseed_flag = 1;
        seed_random(5);
        apply_controls();
        const uint32_t after_one_reseed = random_state;
        seed_random(5);
        for (int i = 0; i < world_cells + rule_taps + 1; i++)
            next_random();
        EXPECT_EQ(after_one_reseed, random_state);
        EXPECT_EQ(reseed_flag, 0);
        EXPECT_EQ(still_count, 0) << "the reseed leaves the count alone";
    }
    {
        SCOPED_TRACE("C alone changes only the colours");
        hold(true, false, false);
        memcpy(world, current_grid, sizeof world);
        const float w0 = rule_weights[0], red0 = red_ramp[37];
        apply_controls();
        EXPECT_EQ(memcmp(world, current_grid, sizeof world), 0);
        EXPECT_EQ(rule_weights[0], w0);
        EXPECT_NE(red_ramp[37], red0);
    }
    {
        SCOPED_TRACE("no key and no flag change nothing");
        hold(false, false, false);
        still_count = 12;
        const uint32_t state = random_state;
        apply_controls();
        EXPECT_EQ(random_state, state);
        EXPECT_EQ(memcmp(world, current_grid, sizeof world), 0);
        EXPECT_EQ(still_count, 12);
    }
}
