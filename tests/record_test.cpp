// The recorder from the outside: its command line, its files, its video and its
// progress line. Commands run in a scratch folder, with the recorder as $R.
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
        SCOPED_TRACE("--overwrite removes all of the recording's files or none");
        ASSERT_EQ(sh("mkdir rec/grid-00001.pgm"), 0);
        record("--seed 6 --frames 10 --every 5 --overwrite --out rec");
        EXPECT_EQ(status, 1);
        EXPECT_TRUE(has(err, "rec/grid-00001.pgm")) << err;
        EXPECT_EQ(count("rec", "^frame-000(33|66|99)"), 3);
        ASSERT_EQ(sh("rmdir rec/grid-00001.pgm"), 0);
    }
    {
        SCOPED_TRACE("with --overwrite no stale file of the recording remains, names it never "
                     "writes stay, and a planted link is replaced");
        ASSERT_EQ(sh("echo mine >victim && ln -s ../victim rec/frame-00010.png && "
                     "touch rec/frame-1.png rec/frame-0001.png rec/grid-7.pgm"),
                  0);
        record("--seed 6 --frames 10 --every 5 --overwrite --out rec --video rec/v.apng");
        ASSERT_EQ(status, 0);
        EXPECT_EQ(slurp("victim"), "mine\n");
        EXPECT_EQ(sh("test -f rec/frame-00010.png && ! test -L rec/frame-00010.png"), 0);
        EXPECT_EQ(count("rec", "."), 9) << "grids 0, 5 and 10, frames 5 and 10, the video, "
                                           "and the three names the recorder never writes";
        record("--seed 6 --frames 10 --video rec/v.apng");
        EXPECT_EQ(status, 1) << "the video is the recording's too";
        EXPECT_TRUE(has(err, "rec/v.apng")) << err;
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

// The line appears once a run has taken a second; a stop signal ends this one.
TEST_F(Recorder, ShowsProgressOnlyOnATerminal)
{
    EXPECT_EQ(sh("script -qec '$R --seed 3 --frames 10000000 --out tty & sleep 2; kill -TERM $!; "
                 "wait $!' screen >/dev/null"),
              143);
    const std::string screen = slurp("screen");
    EXPECT_TRUE(has(screen, " of 10000000 frames, ")) << screen;
    EXPECT_TRUE(has(screen, "\r\033[K")) << "wiped at the end";
    EXPECT_EQ(sh("$R --seed 3 --frames 10000000 --out pipe 2>stderr & sleep 2; kill -TERM $!; "
                 "wait $!"),
              143);
    EXPECT_EQ(slurp("stderr"), "");
}
