// The recorder from the outside: pinned recordings that lock the whole behaviour
// of the toy (world, picture and log), then its command line, its files, its
// video and its progress line. Commands run in a scratch folder, with the
// recorder as $R.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

static bool has(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

class Recorder : public testing::Test
{
  protected:
    std::string dir;
    int status = 0;
    std::string out, err;

    void SetUp() override
    {
        char name[] = "/tmp/lincell-record-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        setenv("R", LINCELL_RECORD, 1);
    }
    void TearDown() override { ASSERT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0); }

    // A shell command's exit status, run in the scratch folder.
    int sh(const std::string &command)
    {
        const int s = system(("cd '" + dir + "' && " + command).c_str());
        return WIFEXITED(s) ? WEXITSTATUS(s) : -1;
    }
    // The first line it prints.
    std::string line_of(const std::string &command)
    {
        FILE *p = popen(("cd '" + dir + "' && " + command).c_str(), "r");
        char line[4096] = "";
        if (!fgets(line, sizeof line, p))
            line[0] = '\0';
        pclose(p);
        return std::string(line).substr(0, std::string(line).find('\n'));
    }
    std::string slurp(const std::string &name)
    {
        std::ifstream f(dir + "/" + name, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    // Run the recorder; its status, standard output and standard error land here.
    void record(const std::string &args)
    {
        status = sh("$R " + args + " >stdout 2>stderr");
        out = slurp("stdout"), err = slurp("stderr");
    }
    // Whether every PNG named is an 800 x 600 8-bit RGB picture (no alpha, no palette).
    bool all_rgb(const std::string &pngs)
    {
        return line_of("for f in " + pngs + "; do file -b $f; done | grep -v -c " +
                       "'^PNG image data, 800 x 600, 8-bit/color RGB,'") == "0";
    }
    int count(const std::string &folder, const std::string &pattern)
    {
        return std::stoi(line_of("ls -A " + folder + " | grep -c -E '" + pattern + "'"));
    }
};

// Each run was looked at frame by frame and its log followed before it was pinned;
// the comment says what it exercises. A change anywhere in the world, the rule, the
// watch, the controls, the colours, the drawing or the log shows here.
TEST_F(Recorder, PinnedRecordingsStayAsTheyWere)
{
    const struct {
        const char *story, *args, *grids, *pixels, *log;
    } runs[] = {
        {"start-up: black frames 1 to 6 as the count reaches 24, reseeds at 7 and 8, and "
         "one more at 9 because the first rule collapsed the world again",
         "--seed 3 --frames 9 --every 1",
         "dc712545a16f1d74a546ccf24796e69e5ee4af90cf34d94aafc3a5adfad05414",
         "4a5ac4b50627a9e05a4f5e40117b3e2d84c0507c5d90ae3fd577e5a2a57a648e",
         "7112a3f4fb80deb4f2159130dd83f42e85aae52e3e9d8f3b99aa8b78f16e3820"},
        {"the world saturates at 255 and freezes with its probes at 255: the watch "
         "reseeds at 98, and once more at 99",
         "--seed 2 --frames 100 --every 10",
         "de7339064e04274681b3ef1ba374f1d37ad43587966fb701fdf9fc0a74308e73",
         "c5c78a7a9bacfef57faa5413a0358211b2e7804e7bf1f6b5130fac5aa2f36b5b",
         "605ab1c5992eab3f3e03c9d3c09e5f9fe6def0e869f1db2dbc9a001d33ae038f"},
        {"M held for 41 frames drifts the rule every frame; C held for 21 frames and at "
         "55 alone recolours every frame",
         "--seed 5 --frames 60 --hold m@10-50 --hold c@20-40 --hold c@55 --every 5",
         "2760e4ce73a43f2f5b0e5d1ab216045d5ad778391b85fabe35696c63c5a3315e",
         "60bc746e16552e3946839022ad7834c40d2f7fc0c9e3472cb7edf56dde6d6ed8",
         "09235647ae69f2c1dba6cce1d7f384c99e49a592ad56a554dc8336f7c650f2b3"},
        {"N held for five frames reseeds on each; C, N and M together recolour, reseed, "
         "then mutate the new rule",
         "--seed 6 --frames 30 --hold n@10-14 --hold cnm@20 --every 2",
         "1737a419208dc5b4af8513e42bdc7cec260dc0dd0d1ed30360b6138afff24e56",
         "60715f77dd3b649396ddb5137ee7a436edc25d497533234c6c527c0f12f1b383",
         "d9ae0d2bc56e00e08e86e0c12107361c133c06cbcec9083a19b18a3f22a9ae03"},
        {"the first colours have a red stretch of 0: no red anywhere under the caption",
         "--seed 56 --frames 60 --every 12",
         "0454665668cc5176ee6de44e2134970d0419a5e909cac2f147668218aae8076a",
         "ad288d1f2fc44a377f4d58bc18de0e2532193998e940e37dc81ac6af9ac70950",
         "747bf9130baeb83cae7d84afc062fcb46d36a3b03aecdbdbc576f0cc46466bdc"},
        {"Esc held at 25 ends the run after frame 24",
         "--seed 7 --frames 50 --hold esc@25 --every 6",
         "958fab87b5de3c965f2c3e539d9013a8dd39d0e8450827ef7359dbbab9e3584a",
         "7707e912d0619002776013a7b9578fbeae5c2c8513ceeaa124f8399e1cee716b",
         "43f827db8576acd38b83575136515e6990884c24a33b73cf1e4709baba743a87"},
    };

    for (const auto &run : runs) {
        SCOPED_TRACE(run.story);
        record(std::string(run.args) + " --log --overwrite --out run");
        ASSERT_EQ(status, 0);
        EXPECT_TRUE(all_rgb("run/frame-*"));
        EXPECT_EQ(line_of("cat run/grid-*.pgm | sha256sum"), std::string(run.grids) + "  -");
        EXPECT_EQ(line_of("for f in run/frame-*; do convert $f rgb:-; done | sha256sum"),
                  std::string(run.pixels) + "  -");
        EXPECT_EQ(line_of("sha256sum <stdout"), std::string(run.log) + "  -");
    }
}

TEST_F(Recorder, RefusesBadArgumentsAndWritesNothing)
{
    const char *bad[] = {
        "--seed 1 --frames 3 --speed 2",     // unknown option
        "--frames 3 --seed",                 // missing value
        "--seed 1 --frames 10000001",        // frames out of range
        "--seed 1 --frames 3 --hold nesc@2", // esc is alone or not at all
        "--seed 1 --frames 3 --video a.avi", // a kind of video not made
        "--seed 1 --frames 3 --video a.gif --crop 800x601+0+0",
        "--seed 1 --frames 3 --video a.gif --crop 10x10+1+1junk",
        "--seed 1 --frames 3 --crop 10x10+1+1", // a crop without a video
    };
    for (const char *args : bad) {
        SCOPED_TRACE(args);
        record(std::string(args) + " --out out");
        EXPECT_EQ(status, 2);
        EXPECT_TRUE(has(err, "lincell-record: "));
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
        EXPECT_EQ(count(".", "^out$|^a\\."), 0);
    }
}

TEST_F(Recorder, WritesWholeFilesAndNothingOfTheUsersBySurprise)
{
    record("--seed 5 --frames 99 --every 33 --out rec");
    ASSERT_EQ(status, 0);
    {
        SCOPED_TRACE("an earlier recording is left alone without --overwrite");
        const std::string before = slurp("rec/frame-00099.png");
        record("--seed 6 --frames 10 --every 1 --out rec");
        EXPECT_EQ(status, 1);
        EXPECT_TRUE(has(err, "--overwrite"));
        EXPECT_EQ(slurp("rec/frame-00099.png"), before);
        EXPECT_EQ(count("rec", "frame-00001"), 0);
    }
    {
        SCOPED_TRACE("with --overwrite no stale frame remains, and a planted link is replaced");
        ASSERT_EQ(sh("echo mine >victim && ln -s ../victim rec/frame-00010.png"), 0);
        record("--seed 6 --frames 10 --every 5 --overwrite --out rec");
        EXPECT_EQ(status, 0);
        EXPECT_EQ(slurp("victim"), "mine\n");
        EXPECT_EQ(sh("test -f rec/frame-00010.png && ! test -L rec/frame-00010.png"), 0);
        EXPECT_EQ(count("rec", "."), 5) << "grids 0, 5 and 10, frames 5 and 10";
    }
    {
        SCOPED_TRACE("a signal mid-run ends it with 128 + signal, every file whole");
        EXPECT_EQ(sh("$R --seed 7 --frames 99999 --every 1 --log --out sig >log & sleep 1; "
                     "kill -TERM $!; wait $!"),
                  143);
        EXPECT_EQ(count("sig", "^\\."), 0) << "no temporary file is left";
        const std::string last = line_of("ls sig/frame-* | tail -n 1");
        EXPECT_GT(count("sig", "^frame-"), 10);
        EXPECT_TRUE(all_rgb(last)) << last;
        EXPECT_EQ(slurp("log").back(), '\n');
    }
    {
        SCOPED_TRACE("an output or a log that cannot be written is a failure");
        record("--seed 1 --frames 2 --out victim/frames");
        EXPECT_EQ(status, 1);
        EXPECT_TRUE(has(err, "victim/frames"));
        for (const char *to : {">/dev/full", ">&-", "| head -c 1 >/dev/null"}) {
            sh(std::string("{ $R --seed 1 --frames 300 --log --overwrite --out log 2>/dev/null; "
                           "echo $? >status; } ") +
               to);
            EXPECT_EQ(slurp("status"), "1\n") << to;
        }
    }
}

TEST_F(Recorder, VideoHoldsExactlyTheFramesRun)
{
    const std::string probe = "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                              "stream=codec_name,width,height,nb_read_frames -of csv=p=0 ";
    record("--seed 2 --frames 40 --hold esc@31 --crop 320x240+240+180 --video clip.mp4");
    ASSERT_EQ(status, 0);
    EXPECT_EQ(line_of(probe + "clip.mp4"), "h264,320,240,30");
    EXPECT_EQ(count(".", "grid|frame"), 0) << "a video alone writes no frames";

    record("--seed 2 --frames 12 --every 4 --video clip.apng --out .");
    ASSERT_EQ(status, 0);
    EXPECT_EQ(line_of(probe + "clip.apng"), "apng,800,600,12");
    ASSERT_EQ(sh("ffmpeg -v error -i clip.apng -vf 'select=eq(n\\,7)' -frames:v 1 8th.png"), 0);
    EXPECT_EQ(sh("convert 8th.png rgb:8th && convert frame-00008.png rgb:8 && cmp -s 8th 8"), 0)
        << "its 8th frame is frame 8";

    SCOPED_TRACE("ffmpeg failing, or missing");
    record("--seed 2 --frames 3 --video odd.mp4 --crop 101x101+0+0");
    EXPECT_EQ(status, 1) << "H.264 refuses an odd size";
    EXPECT_TRUE(has(err, "ffmpeg could not make")) << err;
    EXPECT_EQ(count(".", "odd"), 0);
    EXPECT_EQ(sh("PATH=/nonexistent $R --seed 2 --frames 3 --video b.mp4 2>stderr"), 2);
    EXPECT_TRUE(has(slurp("stderr"), "apt-get install ffmpeg"));
    EXPECT_EQ(count(".", "b.mp4"), 0);
}

TEST_F(Recorder, ShowsProgressOnlyOnATerminal)
{
    ASSERT_EQ(sh("script -qec '$R --seed 3 --frames 3000 --every 1 --out tty' screen >/dev/null"),
              0);
    const std::string screen = slurp("screen");
    EXPECT_TRUE(has(screen, " of 3000 frames, ")) << screen;
    EXPECT_TRUE(has(screen, "\r\033[K")) << "wiped at the end";
    record("--seed 3 --frames 3000 --every 1 --out pipe");
    EXPECT_EQ(err, "");
}
