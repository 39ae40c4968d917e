// The recorder from the outside: its command line, its files and its log, and
// its pictures decoded and compared with the same frames run in this process.
#include <gtest/gtest.h>

#include <allegro.h>
#include <png.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/frame.h"
#include "automaton/grid.h"
#include "tests/headless.h"
#include "tests/reference.h"

struct run_result {
    int status;
    std::string out, err;
};

static std::string slurp(const std::string &path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

static bool exists(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

class Recorder : public testing::Test
{
  protected:
    std::string dir;

    void SetUp() override
    {
        char name[] = "/tmp/lincell-record-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
    }
    void TearDown() override { ASSERT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0); }

    run_result record(const std::string &args)
    {
        const std::string command = std::string(LINCELL_RECORD) + " " + args + " >'" + dir +
                                    "/stdout' 2>'" + dir + "/stderr'";
        const int status = system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(dir + "/stdout"),
                slurp(dir + "/stderr")};
    }
    std::vector<std::string> log_lines(const std::string &out)
    {
        std::vector<std::string> lines;
        std::istringstream s(out);
        for (std::string line; std::getline(s, line);)
            lines.push_back(line);
        return lines;
    }
};

// A PNG's pixels as 8-bit RGB, refused (empty) unless the file is 8-bit RGB itself:
// no alpha, no palette, no grey.
static std::vector<unsigned char> decode_rgb(const std::string &path, int *width, int *height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return {};
    const bool rgb = image.format == PNG_FORMAT_RGB;
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) || !rgb)
        return {};
    *width = static_cast<int>(image.width), *height = static_cast<int>(image.height);
    return pixels;
}

static bool has(const std::string &line, const std::string &part)
{
    return line.find(part) != std::string::npos;
}

TEST_F(Recorder, RefusesBadArgumentsAndWritesNothing)
{
    const char *bad[] = {
        "--seed 1 --frames 3 --speed 2",     // unknown option
        "--frames 3 --seed",                 // missing value
        "--seed 4294967296 --frames 3",      // seed out of range
        "--seed -1 --frames 3",              // not a whole number
        "--seed 1 --frames ten",             // not a number
        "--seed 1 --frames 10000001",        // frames out of range
        "--seed 1 --frames 3 --hold x@2",    // unknown key
        "--seed 1 --frames 3 --hold nesc@2", // esc is alone or not at all
        "--seed 1 --frames 3 --hold @2",     // no keys
        "--seed 1 --frames 3 --hold n@5-3",  // ends before it starts
        "--seed 1 --frames 3 --hold n@0",    // frames count from 1
        "--seed 1 --frames 3 --hold n",      // no frame
        "--seed 1 --frames 3 --every 0",     // every 0th frame
        "--frames 3",                        // seed missing
        "--seed 1",                          // frames missing
        "--seed 1 --frames 3 stray",         // a word that is no option
    };
    for (const char *args : bad) {
        SCOPED_TRACE(args);
        const run_result r = record(std::string(args) + " --out '" + dir + "/out'");
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(has(r.err, "lincell-record: "));
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
        EXPECT_FALSE(exists(dir + "/out"));
    }
}

TEST_F(Recorder, UnwritableFolderFailsWithStatusOne)
{
    std::ofstream(dir + "/a-file") << "x";
    const run_result r = record("--seed 1 --frames 2 --out '" + dir + "/a-file/frames'");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.err, dir + "/a-file/frames"));
}

TEST_F(Recorder, SameArgumentsSameFilesDifferentSeedsDifferentWorlds)
{
    const std::string args = " --frames 30 --every 10 --hold cnm@12 --hold m@20-25 --log";
    const run_result a = record("--seed 9 --out '" + dir + "/a'" + args);
    const run_result b = record("--seed 9 --out '" + dir + "/b'" + args);
    const run_result c = record("--seed 10 --out '" + dir + "/c'" + args);
    ASSERT_EQ(a.status, 0);
    EXPECT_EQ(a.out, b.out);
    for (const char *file : {"grid-00000.pgm", "grid-00010.pgm", "grid-00030.pgm",
                             "frame-00010.png", "frame-00020.png", "frame-00030.png"}) {
        SCOPED_TRACE(file);
        const std::string first = slurp(dir + "/a/" + file);
        ASSERT_FALSE(first.empty());
        EXPECT_EQ(first, slurp(dir + "/b/" + file));
        EXPECT_NE(first, slurp(dir + "/c/" + file));
    }
    EXPECT_FALSE(exists(dir + "/a/grid-00015.pgm"));
}

TEST_F(Recorder, LogTellsTheStartUpStory)
{
    const run_result r = record("--seed 3 --frames 8 --every 1 --log --out '" + dir + "'");
    ASSERT_EQ(r.status, 0);
    const std::vector<std::string> lines = log_lines(r.out);
    ASSERT_EQ(lines.size(), 8u);
    const char *counts[] = {"4", "8", "12", "16", "20", "24"};
    for (int k = 1; k <= 8; k++) {
        const std::string &line = lines[k - 1];
        SCOPED_TRACE(line);
        EXPECT_TRUE(has(line, "{\"frame\":" + std::to_string(k) + ",\"keys\":\"\","));
        EXPECT_TRUE(has(line, k >= 7 ? "\"reseeded\":true" : "\"reseeded\":false"));
        if (k <= 6) {
            EXPECT_TRUE(has(line, std::string("\"still_count\":") + counts[k - 1] + ","));
            EXPECT_TRUE(has(line, "\"weights\":[0,0,0,0,0,0,0,0,0],\"gain\":0}"));
        }
    }
    EXPECT_TRUE(has(lines[5], "\"reseed_flag\":1"));
    const std::string grid = slurp(dir + "/grid-00001.pgm");
    const std::string header = "P5\n256 192\n255\n";
    ASSERT_EQ(grid.size(), header.size() + world_cells);
    EXPECT_EQ(grid.substr(0, header.size()), header);
    EXPECT_EQ(grid.find_first_not_of('\0', header.size()), std::string::npos);
}

TEST_F(Recorder, HeldKeys)
{
    {
        SCOPED_TRACE("N at frame 20 reseeds at frame 20; C, N and M together set all three");
        const run_result r = record("--seed 4 --frames 21 --log --hold N@20 --hold cNm@21 "
                                    "--out '" +
                                    dir + "'");
        const std::vector<std::string> lines = log_lines(r.out);
        ASSERT_EQ(lines.size(), 21u);
        EXPECT_TRUE(has(lines[19], "\"keys\":\"N\",\"reseeded\":true,\"mutated\":false,"
                                   "\"recolored\":false"));
        EXPECT_TRUE(has(lines[20], "\"keys\":\"CNM\",\"reseeded\":true,\"mutated\":true,"
                                   "\"recolored\":true"));
    }
    {
        SCOPED_TRACE("esc at frame 1 runs no frame");
        const run_result r =
            record("--seed 4 --frames 5 --log --hold esc@1 --out '" + dir + "/esc1'");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(exists(dir + "/esc1/grid-00000.pgm"));
        EXPECT_FALSE(exists(dir + "/esc1/grid-00001.pgm"));
        EXPECT_FALSE(exists(dir + "/esc1/frame-00000.png"));
    }
    {
        SCOPED_TRACE("ESC at frame 5 ends the run after frame 4");
        const run_result r =
            record("--seed 4 --frames 9 --log --hold ESC@5-6 --out '" + dir + "/esc5'");
        EXPECT_EQ(log_lines(r.out).size(), 4u);
        EXPECT_TRUE(exists(dir + "/esc5/frame-00004.png"));
        EXPECT_FALSE(exists(dir + "/esc5/grid-00009.pgm"));
    }
}

TEST_F(Recorder, PicturesAndGridsAreTheFramesThemselves)
{
    ASSERT_EQ(record("--seed 77 --frames 15 --hold m@10-12 --hold c@14 --out '" + dir + "'").status,
              0);

    start_headless();
    reset_world();
    BITMAP *buffer = start_toy(77, LINCELL_FONT_FILE);
    for (int k = 1; k <= 15; k++) {
        key[KEY_M] = k >= 10 && k <= 12;
        key[KEY_C] = k == 14;
        run_frame(buffer);
    }
    key[KEY_M] = key[KEY_C] = 0;

    int width = 0, height = 0;
    const std::vector<unsigned char> png = decode_rgb(dir + "/frame-00015.png", &width, &height);
    ASSERT_FALSE(png.empty()) << "an 8-bit RGB PNG";
    ASSERT_EQ(width, 800);
    ASSERT_EQ(height, 600);
    int differing = 0, lit = 0;
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++) {
            const int want = pixel_at(buffer, x, y);
            const unsigned char *got = &png[(y * 800 + x) * 3];
            differing += got[0] != getr32(want) || got[1] != getg32(want) || got[2] != getb32(want);
            lit += want != 0;
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(lit, 10000);

    const std::string grid = slurp(dir + "/grid-00015.pgm");
    ASSERT_EQ(grid.size(), 15u + world_cells);
    for (int x = 0; x < world_width; x++)
        for (int y = 0; y < world_height; y++)
            ASSERT_EQ(static_cast<unsigned char>(grid[15 + y * world_width + x]),
                      current_grid[cell_index(x, y)]);
    stop_toy(buffer);
}

// The frame file of frame k in a folder.
static std::string output_path_for_test(const std::string &folder, int k)
{
    char name[32];
    snprintf(name, sizeof name, "/frame-%05d.png", k);
    return folder + name;
}

static int count_files(const std::string &folder, const char *pattern)
{
    const std::string command = "ls -A '" + folder + "' | grep -c -E '" + pattern + "'";
    FILE *p = popen(command.c_str(), "r");
    int n = 0;
    if (fscanf(p, "%d", &n) != 1)
        n = -1;
    pclose(p);
    return n;
}

TEST_F(Recorder, WritesWholeFilesAndNothingOfTheUsersBySurprise)
{
    const std::string out = " --out '" + dir + "/rec'";
    ASSERT_EQ(record("--seed 5 --frames 99 --every 33" + out).status, 0);
    {
        SCOPED_TRACE("an earlier recording is left alone without --overwrite");
        const std::string before = slurp(dir + "/rec/frame-00099.png");
        const run_result r = record("--seed 6 --frames 10 --every 1" + out);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(has(r.err, "--overwrite"));
        EXPECT_EQ(slurp(dir + "/rec/frame-00099.png"), before);
        EXPECT_FALSE(exists(dir + "/rec/frame-00001.png"));
    }
    {
        SCOPED_TRACE("with --overwrite no stale frame remains, and a planted link is replaced");
        std::ofstream(dir + "/victim") << "mine";
        ASSERT_EQ(symlink((dir + "/victim").c_str(), (dir + "/rec/frame-00010.png").c_str()), 0);
        EXPECT_EQ(record("--seed 6 --frames 10 --every 5 --overwrite" + out).status, 0);
        EXPECT_FALSE(exists(dir + "/rec/frame-00099.png"));
        EXPECT_EQ(slurp(dir + "/victim"), "mine");
        struct stat st;
        ASSERT_EQ(lstat((dir + "/rec/frame-00010.png").c_str(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_EQ(count_files(dir + "/rec", "."), 5); // grids 0, 5, 10 and frames 5, 10
    }
    {
        SCOPED_TRACE("a signal mid-run ends it with 128 + signal, every file whole");
        const std::string command = std::string(LINCELL_RECORD) +
                                    " --seed 7 --frames 99999 --every 1 --log --out '" + dir +
                                    "/sig' >'" + dir + "/log' & sleep 1; kill -TERM $!; wait $!";
        const int status = system(command.c_str());
        EXPECT_EQ(WEXITSTATUS(status), 143);
        EXPECT_EQ(count_files(dir + "/sig", "^\\."), 0) << "no temporary file left";
        const int frames = count_files(dir + "/sig", "^frame-");
        EXPECT_GT(frames, 10);
        int width, height;
        const std::string last = output_path_for_test(dir + "/sig", frames);
        EXPECT_FALSE(decode_rgb(last, &width, &height).empty()) << last;
        const std::string log = slurp(dir + "/log");
        EXPECT_EQ(log.back(), '\n');
    }
    {
        SCOPED_TRACE("a log that cannot be written is a failure");
        for (const char *to : {">/dev/full", ">&-", "| head -c 1 >/dev/null"}) {
            const std::string status = dir + "/status";
            system(("{ " + std::string(LINCELL_RECORD) + " --seed 1 --frames 300 --log --out '" +
                    dir + "/log' --overwrite 2>/dev/null; echo $? >'" + status + "'; } " + to)
                       .c_str());
            EXPECT_EQ(slurp(status), "1\n") << to;
        }
    }
}

// ffprobe's answer about the first video stream of a file: codec,width,height,frames.
static std::string probe(const std::string &path)
{
    FILE *p = popen(("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                     "stream=codec_name,width,height,nb_read_frames -of csv=p=0 '" +
                     path + "'")
                        .c_str(),
                    "r");
    char line[128] = "";
    if (!fgets(line, sizeof line, p))
        line[0] = '\0';
    pclose(p);
    return std::string(line).substr(0, strcspn(line, "\n"));
}

TEST_F(Recorder, VideoHoldsExactlyTheFramesRun)
{
    const std::string mp4 = dir + "/clip.mp4", apng = dir + "/clip.apng";
    ASSERT_EQ(
        record("--seed 2 --frames 40 --hold esc@31 --crop 320x240+240+180 --video '" + mp4 + "'")
            .status,
        0);
    EXPECT_EQ(probe(mp4), "h264,320,240,30");
    EXPECT_EQ(count_files(dir, "grid|frame"), 0) << "a video alone writes no frames";

    ASSERT_EQ(
        record("--seed 2 --frames 12 --every 4 --video '" + apng + "' --out '" + dir + "'").status,
        0);
    EXPECT_EQ(probe(apng), "apng,800,600,12");
    const std::string decoded = dir + "/decoded.png";
    ASSERT_EQ(system(("ffmpeg -v error -i '" + apng + "' -vf 'select=eq(n\\,7)' -frames:v 1 '" +
                      decoded + "'")
                         .c_str()),
              0);
    int w1, h1, w2, h2;
    const std::vector<unsigned char> from_video = decode_rgb(decoded, &w1, &h1);
    ASSERT_FALSE(from_video.empty());
    EXPECT_TRUE(from_video == decode_rgb(dir + "/frame-00008.png", &w2, &h2))
        << "the video's eighth frame is frame 8";

    SCOPED_TRACE("failures");
    run_result r = record("--seed 2 --frames 3 --video '" + dir + "/odd.mp4' --crop 101x101+0+0");
    EXPECT_EQ(r.status, 1) << "H.264 refuses an odd size";
    EXPECT_TRUE(has(r.err, "ffmpeg could not make")) << r.err;
    EXPECT_EQ(count_files(dir, "odd"), 0);
    for (const char *crop : {"800x601+0+0", "10x10+795+0", "0x10+0+0", "10x10", "10x10+1+1junk"})
        EXPECT_EQ(record(std::string("--seed 2 --frames 3 --video a.gif --crop ") + crop).status, 2)
            << crop;
    r = record("--seed 2 --frames 3 --video '" + dir + "/a.mp4' 2>&1; PATH=/nonexistent; " +
               LINCELL_RECORD + " --seed 2 --frames 3 --video '" + dir + "/b.mp4'");
    EXPECT_EQ(r.status, 2) << "no ffmpeg on the PATH";
    EXPECT_TRUE(has(r.err, "apt-get install ffmpeg"));
    EXPECT_FALSE(exists(dir + "/b.mp4"));
}

TEST_F(Recorder, ShowsProgressOnlyOnATerminal)
{
    const std::string args = " --seed 3 --frames 3000 --every 1 --out '" + dir + "/";
    const int status = system(("script -qec \"" + std::string(LINCELL_RECORD) + args + "tty'\" '" +
                               dir + "/typescript' >/dev/null")
                                  .c_str());
    ASSERT_EQ(WEXITSTATUS(status), 0);
    const std::string screen = slurp(dir + "/typescript");
    EXPECT_TRUE(has(screen, " of 3000 frames, ")) << screen;
    EXPECT_TRUE(has(screen, "\r\033[K")) << "wiped at the end";
    EXPECT_EQ(record(args + "pipe'").err, "");
}
