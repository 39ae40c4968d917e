// The plain core alone, linked with nothing else, so that a library call slipped
// into it fails here at once: what a frame says it did, from the start-up story
// to keys held together, over a canvas that only notes the order of its phases;
// the keys' text both ways; and the page's pixel canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "automaton/grid.h"
#include "automaton/rule.h"
#include "automaton/watch.h"
#include "core/canvas.h"
#include "core/flash.h"
#include "core/frame.h"
#include "core/keys.h"
#include "core/link.h"
#include "core/ramps.h"
#include "core/run.h"

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

// The run's holds as text: taken whole or not at all, faults in words of their
// own (no option's name), a NUL inside the text a fault, not an end.
TEST(Run, HoldListsAreTakenWholeOrNotAtAll)
{
    start_run(1);
    const std::string good = "c@1-3,N@5,esc@9,";
    ASSERT_STREQ(read_run_holds(good.data(), good.size()), "");
    char text[64];
    ASSERT_GT(write_run_holds(text, sizeof text), 0);
    EXPECT_STREQ(text, "C@1-3,N@5,esc@9");
    EXPECT_EQ(write_run_holds(text, 8), -1) << "too small is refused, not cut";
    for (const std::string &bad : {std::string("M@2,X@3"), std::string("N@5\0,C@6", 9),
                                   std::string("C@1,,N@2"), std::string("C@0")}) {
        const char *fault = read_run_holds(bad.data(), bad.size());
        EXPECT_STRNE(fault, "") << bad;
        EXPECT_EQ(std::string(fault).find("--"), std::string::npos) << fault;
        EXPECT_EQ(run_hold_count(), 3) << "the list stays as it was";
    }
    EXPECT_EQ(run_keys_at(2), key_c);
    EXPECT_EQ(last_run_frame(100), 8u) << "Esc at frame 9 ends the run after frame 8";
    EXPECT_EQ(last_run_frame(5), 5u) << "an Esc past the run's frames changes nothing";
}

// Keys held live are kept as holds, one hold for a key held over frames, and the
// list written out replays the very same world; the holds' Esc ends the run.
TEST(Run, LiveKeysBecomeHoldsThatReplayTheRun)
{
    start_run(424242);
    const std::string esc = "esc@40";
    ASSERT_STREQ(read_run_holds(esc.data(), esc.size()), "");
    for (int k = 1; k <= 39; k++)
        ASSERT_NE(advance_run(k <= 3 || k == 5    ? key_c
                              : k >= 20 && k < 30 ? key_m | key_esc
                                                  : 0),
                  run_ended);
    EXPECT_EQ(run_keys(), 0);
    EXPECT_EQ(advance_run(key_n), run_ended) << "frame 40 is Esc's: nothing runs";
    EXPECT_EQ(run_frames(), 39u);
    char text[128];
    ASSERT_GT(write_run_holds(text, sizeof text), 0);
    EXPECT_STREQ(text, "esc@40,C@1-3,C@5,M@20-29") << "a live Esc is the front end's own";
    const world_view live = view_world();
    const std::vector<int32_t> cells(live.cells, live.cells + live.width * live.height);

    start_run(424242);
    ASSERT_STREQ(read_run_holds(text, strlen(text)), "");
    while (advance_run(0) != run_ended) {
    }
    const world_view replay = view_world();
    EXPECT_EQ(run_frames(), 39u);
    EXPECT_TRUE(std::equal(cells.begin(), cells.end(), replay.cells)) << "the same world";
    EXPECT_EQ(replay.gain, live.gain);
}

TEST(Run, AFullListSaysItNoLongerReplaysTheRun)
{
    start_run(3);
    for (int i = 0; i < most_holds; i++)
        ASSERT_TRUE(add_run_hold({key_c, 100000u + 2u * static_cast<unsigned>(i), 100000u}));
    EXPECT_FALSE(add_run_hold({key_c, 1, 1}));
    EXPECT_TRUE(run_is_recorded());
    advance_run(key_m);
    EXPECT_FALSE(run_is_recorded()) << "a live key with no room left";
}

// Steering as a lively person does it, `minutes` long: about 30 presses a minute
// at irregular times, most a tap, some held a second or two, a few of two keys.
static std::vector<hold> lively_steering(int minutes, uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<hold> holds;
    const int singles[] = {key_c, key_n, key_m};
    for (uint64_t frame = 30; frame < static_cast<uint64_t>(minutes) * 3600;) {
        const int roll = static_cast<int>(random() % 20);
        const int keys = roll == 0 ? key_c | key_m : singles[random() % 3];
        const uint64_t held = roll < 14 ? 1 + random() % 12 : 12 + random() % 100;
        holds.push_back({keys, frame, frame + held - 1});
        frame += held + 20 + random() % 200;
    }
    return holds;
}

static bool same_holds(std::vector<hold> a, std::vector<hold> b)
{
    const auto order = [](const hold &x, const hold &y) {
        return std::tie(x.first, x.last, x.keys) < std::tie(y.first, y.last, y.keys);
    };
    std::sort(a.begin(), a.end(), order);
    std::sort(b.begin(), b.end(), order);
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](const hold &x, const hold &y) {
               return x.keys == y.keys && x.first == y.first && x.last == y.last;
           });
}

// The compact code reads back as it was written, any list of holds; twenty
// minutes of lively steering fits in a link a chat will not cut.
TEST(Link, TheCompactCodeReadsBackWhatItWrote)
{
    static char text[1 << 18];
    static hold back[most_holds];
    int count = -1;
    std::mt19937 random(5);
    for (int round = 0; round < 200; round++) {
        std::vector<hold> holds(random() % 40);
        for (hold &h : holds) {
            h.keys = 1 + static_cast<int>(random() % 15);
            h.first = round % 2 ? 1 + random() % most_frames : 1 + random() % 500;
            h.last = std::min<uint64_t>(most_frames,
                                        h.first + (random() % 3 ? random() % 50 : random()));
        }
        const int n =
            write_compact_holds(holds.data(), static_cast<int>(holds.size()), text, sizeof text);
        ASSERT_GT(n, 0);
        ASSERT_STREQ(read_compact_holds(text, static_cast<size_t>(n), back, most_holds, &count),
                     "");
        ASSERT_TRUE(same_holds(holds, std::vector<hold>(back, back + count))) << text;
    }
    for (int minutes : {1, 5, 10, 20}) {
        const std::vector<hold> holds = lively_steering(minutes, static_cast<uint32_t>(minutes));
        const int n =
            write_compact_holds(holds.data(), static_cast<int>(holds.size()), text, sizeof text);
        std::printf("     %2d minutes, %zu holds: %d characters\n", minutes, holds.size(), n);
        if (minutes == 20) {
            EXPECT_LE(n, 1900) << "with the seed, the frame and the page's address: 2,000 at most";
        }
    }
}

TEST(Link, ACodeOrALinkIsTakenWholeOrNotAtAll)
{
    static hold holds[most_holds];
    int count = 7;
    const hold some[] = {{key_c, 5, 9}, {key_n | key_esc, 400, 400}};
    char text[64];
    const int n = write_compact_holds(some, 2, text, sizeof text);
    ASSERT_GT(n, 0);
    EXPECT_EQ(write_compact_holds(some, 2, text, n), -1) << "too small is refused, not cut";
    std::string code(text, static_cast<size_t>(n));
    for (const std::string &bad : {code.substr(0, code.size() - 1), code + "A", code + "!",
                                   code.substr(0, 2) + "." + code.substr(3), std::string("")}) {
        EXPECT_STRNE(read_compact_holds(bad.data(), bad.size(), holds, most_holds, &count), "")
            << bad;
        EXPECT_EQ(count, 7) << "nothing written for a fault";
    }
    EXPECT_STRNE(read_compact_holds(code.data(), code.size(), holds, 1, &count), "")
        << "more holds than the caller keeps";

    run_link link;
    const std::string url = "https://lincell.example.org/?x=1#seed=42&run=" + code + "&frames=500";
    ASSERT_STREQ(read_run_link(url.data(), url.size(), holds, most_holds, &link), "");
    EXPECT_EQ(link.seed, 42u);
    EXPECT_TRUE(link.has_frames && link.frames == 500);
    EXPECT_TRUE(same_holds({some, some + 2}, {holds, holds + link.hold_count}));
    const std::string old = "#seed=7&hold=C@5-9%2CNM@400";
    ASSERT_STREQ(read_run_link(old.data(), old.size(), holds, most_holds, &link), "");
    EXPECT_TRUE(same_holds({{key_c, 5, 9}, {key_n | key_m, 400, 400}}, {holds, holds + 2}));
    EXPECT_FALSE(link.has_frames);
    for (const std::string &bad : std::vector<std::string>{
             "#frames=5", "#seed=1&seed=2", "#seed=1&hodl=C@1", "#seed=1&amp;frames=2",
             "#seed=1&hold=C@1&run=" + code, "#seed=1&hold=C@1%00,N@2", "#seed=4294967296",
             "#seed=1&frames=10000001", "#seed=1&hold=C@1%2"}) {
        link.seed = 99;
        EXPECT_STRNE(read_run_link(bad.data(), bad.size(), holds, most_holds, &link), "") << bad;
        EXPECT_EQ(link.seed, 99u) << bad;
    }
}

// Pictures made to flash, or not: whole-picture changes are counted, fine
// texture twinkling, dim flicker and changes among bright greys are not.
TEST(Flash, ThePictureAsAWholeFlashesTextureDoesNot)
{
    static uint32_t picture[screen_width * screen_height];
    const auto flashes_of = [](int frames, const std::function<uint32_t(int, int, int)> &pixel) {
        clear_flashes();
        int most = 0;
        for (int k = 0; k < frames; k++) {
            for (int y = 0; y < screen_height; y++)
                for (int x = 0; x < screen_width; x++)
                    picture[y * screen_width + x] = pixel(k, x, y);
            most = std::max(most, note_flashes(picture));
        }
        return most;
    };
    const uint32_t black = canvas_pixel(0, 0, 0), white = canvas_pixel(255, 255, 255);
    EXPECT_GE(flashes_of(90, [&](int k, int, int) { return k % 2 ? white : black; }), 25)
        << "black and white every frame: 30 changes a second";
    EXPECT_EQ(flashes_of(120, [&](int k, int, int) { return k / 20 % 2 ? white : black; }), 1)
        << "a change every 20 frames is three a second: one flash and a half";
    EXPECT_GE(flashes_of(90, [&](int k, int x, int) { return k % 2 && x >= 500 ? white : black; }),
              25)
        << "the right side alone flashing";
    EXPECT_EQ(flashes_of(
                  90, [&](int k, int x, int y) { return (x / 4 + y / 4 + k) % 2 ? white : black; }),
              0)
        << "cells twinkling in turn: texture";
    EXPECT_EQ(flashes_of(90, [&](int k, int, int) { return canvas_pixel(k % 2 ? 80 : 0, 0, 0); }),
              0)
        << "a dim flicker";
    EXPECT_EQ(flashes_of(
                  90, [&](int k, int, int) { return k % 2 ? white : canvas_pixel(240, 240, 240); }),
              0)
        << "between bright greys";

    const hold guarded[] = {{key_c, 10, 10}, {key_n, 30, 30}, {key_m, 31, 40}, {key_c, 50, 50}};
    EXPECT_FALSE(holds_flash(guarded, 4));
    const hold held[] = {{key_c, 10, 11}};
    EXPECT_TRUE(holds_flash(held, 1)) << "C on consecutive frames";
    const hold close[] = {{key_c, 10, 10}, {key_n, 25, 25}};
    EXPECT_TRUE(holds_flash(close, 2));
}

// No ordinary world flickers as a whole: seeds 1 to 250, the second before frame 300.
TEST(Flash, OrdinaryWorldsDoNotFlash)
{
    int flickering = 0;
    std::string which;
    for (uint32_t seed = 1; seed <= 250; seed++) {
        start_run(seed);
        while (run_frames() < 240)
            advance_run(0);
        clear_flashes();
        int most = 0;
        while (run_frames() < 300) {
            advance_run(0);
            paint_frame(pixel_canvas());
            most = std::max(most, note_flashes(canvas_pixels()));
        }
        if (most > most_flashes_a_second)
            flickering++, which += " " + std::to_string(seed);
    }
    EXPECT_EQ(flickering, 0) << "seeds" << which;
}

// C or N held on every frame flashes past the threshold; given every
// guarded_gap frames, as the page's guard gives them, it does not.
TEST(Flash, TheGuardsGapKeepsHeldKeysUnderTheThreshold)
{
    const auto flashes_of = [](uint32_t seed, int key, int every) {
        start_run(seed);
        while (run_frames() < 100)
            advance_run(0);
        clear_flashes();
        int most = 0;
        for (int k = 0; k < 180; k++) {
            advance_run(k % every == 0 ? key : 0);
            paint_frame(pixel_canvas());
            most = std::max(most, note_flashes(canvas_pixels()));
        }
        return most;
    };
    for (uint32_t seed : {424242u, 2u, 77u}) {
        for (int key : {key_c, key_n}) {
            const int held = flashes_of(seed, key, 1), guarded = flashes_of(seed, key, guarded_gap);
            std::printf("     seed %u, %s: held %d flashes a second, guarded %d\n", seed,
                        key == key_c ? "C" : "N", held, guarded);
            EXPECT_LE(guarded, most_flashes_a_second) << seed;
            if (key == key_c && seed == 424242u) {
                EXPECT_GT(held, most_flashes_a_second);
            }
        }
    }
}

// A frame advanced unseen and painted after is the frame run_frame paints.
TEST(Frame, AdvancedThenPaintedIsTheFrameRunWhole)
{
    static uint32_t whole[screen_width * screen_height];
    for (int k = 1; k <= 12; k++) {
        start_world(77);
        for (int j = 1; j < k; j++)
            run_frame(j % 3 == 0 ? key_c | key_m : 0, pixel_canvas());
        run_frame(k % 3 == 0 ? key_c | key_m : 0, pixel_canvas());
        std::copy(canvas_pixels(), canvas_pixels() + screen_width * screen_height, whole);
        start_world(77);
        for (int j = 1; j <= k; j++)
            advance_frame(j % 3 == 0 ? key_c | key_m : 0);
        paint_frame(pixel_canvas());
        ASSERT_TRUE(std::equal(whole, whole + screen_width * screen_height, canvas_pixels()))
            << "frame " << k;
    }
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
