// The recorder's options as a unit: what a command line sets and refuses, which
// keys are down on which frame, where Esc ends the run, which frames are written,
// and the names they get, widened past frame 99,999 so a listing stays in order.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "platform/whole_file.h"
#include "record/options.h"

// Parse a command line given as one string of words; the error, or "" when it parsed.
static std::string parse(const std::string &line, options *o)
{
    std::vector<std::string> words = {"lincell-record"};
    for (size_t at = 0; at < line.size();) {
        const size_t end = line.find(' ', at);
        words.push_back(line.substr(at, end - at));
        at = end == std::string::npos ? line.size() : end + 1;
    }
    std::vector<char *> argv;
    for (std::string &w : words)
        argv.push_back(&w[0]);
    argv.push_back(nullptr);
    std::string error;
    return parse_options(static_cast<int>(words.size()), argv.data(), o, &error) ? "" : error;
}

TEST(RecorderOptions, ValuesAreCheckedInFullAndTheFirstFaultIsNamed)
{
    options o;
    EXPECT_EQ(parse("--seed 4294967295 --frames 10000000 --every 7 --out x --log", &o), "");
    EXPECT_EQ(o.seed, 4294967295u);
    EXPECT_EQ(o.frames, 10000000u);
    EXPECT_EQ(o.every, 7u);
    EXPECT_TRUE(o.log && !o.overwrite && o.out == "x");
    EXPECT_TRUE(writes_files(o));

    const struct {
        const char *args, *fault;
    } bad[] = {
        {"--seed 4294967296 --frames 1", "--seed wants"},
        {"--seed 1 --frames 10000001", "--frames wants"},
        {"--seed 1 --frames 1x", "--frames wants"},
        {"--seed 1 --frames 1 --every 0", "--every wants"},
        {"--seed 1 --frames 1 --fps 1001", "--fps wants"},
        {"--seed 1 --frames 1 --hold nesc@3", "--hold keys"},
        {"--seed 1 --frames 1 --hold c@0", "--hold frames"},
        {"--seed 1 --frames 1 --hold c@5-4", "ends before it starts"},
        {"--seed 1 --frames 1 --hold c", "KEYS@A"},
        {"--seed 1 --frames 1 --video a.gif --crop 10x10+1+1junk", "--crop wants"},
        {"--seed 1 --frames 1 --crop 10x10+1+1", "--crop is for the video"},
        {"--seed 1", "missing option: '--frames'"},
        {"--frames 1 --seed", "missing value for: '--seed'"},
        {"--seed 1 --frames 1 --speed 2", "unknown option: '--speed'"},
        {"--seed 1 --frames 1 extra", "unexpected argument: 'extra'"},
    };
    for (const auto &b : bad) {
        SCOPED_TRACE(b.args);
        const std::string error = parse(b.args, &o);
        EXPECT_NE(error.find(b.fault), std::string::npos) << error;
    }

    SCOPED_TRACE("help and version need nothing else");
    EXPECT_EQ(parse("-h", &o), "");
    EXPECT_TRUE(o.help);
    EXPECT_EQ(parse("--version", &o), "");
    EXPECT_TRUE(o.version && !o.help) << "each parse starts afresh";
}

TEST(RecorderOptions, HoldsAddUp)
{
    options o;
    ASSERT_EQ(parse("--seed 1 --frames 100 --hold cM@10-20 --hold n@20 --hold ESC@50 "
                    "--hold esc@60",
                    &o),
              "");
    const auto keys_at_frame = [&o](uint64_t k) {
        return keys_at(o.holds.data(), static_cast<int>(o.holds.size()), k);
    };
    EXPECT_EQ(keys_at_frame(9), 0);
    EXPECT_EQ(keys_at_frame(10), key_c | key_m);
    EXPECT_EQ(keys_at_frame(20), key_c | key_m | key_n);
    EXPECT_EQ(keys_at_frame(21), 0);
    EXPECT_EQ(keys_at_frame(50), key_esc);
}

// A page's link carries the seed, the keys and the frame; --frames may say otherwise.
TEST(RecorderOptions, ALinkIsTheRunItReplays)
{
    options o;
    ASSERT_EQ(parse("--link https://x.example/#seed=5&hold=C@3-4,N@7&frames=40", &o), "");
    EXPECT_EQ(o.seed, 5u);
    EXPECT_EQ(o.frames, 40u);
    ASSERT_EQ(o.holds.size(), 2u);
    EXPECT_EQ(keys_at(o.holds.data(), 2, 7), key_n);
    ASSERT_EQ(parse("--frames 12 --link #seed=5&run=g&frames=40", &o), "");
    EXPECT_EQ(o.frames, 12u);
    EXPECT_TRUE(o.holds.empty());
    EXPECT_NE(parse("--link #seed=5&frames=4 --seed 5", &o).find("--link carries"),
              std::string::npos);
    EXPECT_NE(parse("--link #seed=5&frames=4 --hold c@1", &o).find("--link carries"),
              std::string::npos);
    EXPECT_NE(parse("--link #seed=5", &o).find("names no frame"), std::string::npos);
    EXPECT_NE(parse("--link #seed=5&hodl=C@1&frames=4", &o).find("--link: "), std::string::npos);
}

TEST(RecorderOptions, EveryKthFrameAndTheLastAreWritten)
{
    options o;
    ASSERT_EQ(parse("--seed 1 --frames 10 --every 4", &o), "");
    std::vector<uint64_t> written;
    for (uint64_t k = 1; k <= 10; k++)
        if (is_kept_frame(o, k, 10))
            written.push_back(k);
    EXPECT_EQ(written, (std::vector<uint64_t>{4, 8, 10}));
    ASSERT_EQ(parse("--seed 1 --frames 10 --video a.mp4", &o), "");
    EXPECT_FALSE(writes_files(o)) << "a video alone writes no frames";
    ASSERT_EQ(parse("--seed 1 --frames 10 --video a.mp4 --every 5", &o), "");
    EXPECT_TRUE(writes_files(o));
}

TEST(RecorderFileNames, FiveDigitsThenAsManyAsTheLastFrameHas)
{
    EXPECT_EQ(file_number(7, name_digits(99999)), "00007");
    EXPECT_EQ(file_number(99999, name_digits(99999)), "99999");
    EXPECT_EQ(file_number(0, name_digits(100000)), "000000");
    EXPECT_EQ(file_number(100000, name_digits(100000)), "100000");
    EXPECT_EQ(file_number(42, name_digits(10000000)), "00000042");

    SCOPED_TRACE("a name is the recorder's only in a width it writes");
    for (const char *name : {"frame-00001.png", "frame-000001.png", "frame-10000000.png"})
        EXPECT_TRUE(is_output_name(name, "frame", "png")) << name;
    for (const char *name :
         {"frame-1.png", "frame-0001.png", "frame-000000001.png", "frame-00001.pgm",
          "frame-00001.png.tmp", "grid-00001.png", "xframe-00001.png", "frame-0000a.png"})
        EXPECT_FALSE(is_output_name(name, "frame", "png")) << name;
}

// A killed writer's temporary is ".NAME.PROCESS-COUNT" exactly, its process a
// plain number in range and no longer running; a long name's is cut as written.
TEST(Temporaries, OnlyTheFormsTheRecorderWritesAreItsOwn)
{
    std::string final_name;
    const std::string running = ".frame-00001.png." + std::to_string(getpid()) + "-0";
    EXPECT_TRUE(is_abandoned_temporary(".frame-00001.png.999999999-0", &final_name));
    EXPECT_EQ(final_name, "frame-00001.png");
    for (const char *name :
         {".frame-00001.png.-5-0", ".frame-00001.png.+5-0", ".frame-00001.png. 5-0",
          ".frame-00001.png.4294967297-0", ".frame-00001.png.5-", ".frame-00001.png.5-0x",
          "frame.png.5-0", running.c_str()})
        EXPECT_FALSE(is_abandoned_temporary(name, &final_name)) << name;
    const std::string long_name = std::string(250, 'x') + ".mp4";
    const std::string cut = "." + long_name.substr(0, 242) + ".999999999-0";
    EXPECT_TRUE(is_temporary_of(cut.c_str(), long_name));
    EXPECT_FALSE(is_temporary_of(cut.c_str(), "y" + long_name));
    EXPECT_TRUE(is_temporary_of(".v.mp4.12-3", "v.mp4"));
    EXPECT_FALSE(is_temporary_of(".v.mp4.12-3", "w.mp4"));
}
