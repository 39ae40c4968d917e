// The recorder from the outside: its command line, its files, its video and its
// progress line. Commands run in a scratch folder, with the recorder as $R.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
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
        const int s = system(("cd '" + dir + "' && {\n" + command + "\n}").c_str());
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

// Bad arguments, and anything ffmpeg would refuse at the end, are refused before
// the run with one line and status 2, and nothing is written.
TEST_F(Recorder, RefusesBadArgumentsBeforeWritingAnything)
{
    ASSERT_EQ(sh("mkdir v.mp4"), 0);
    for (const char *args : {"--speed 2", "--hold nesc@2", "--crop 10x10+1+1", "--video a.avi",
                             "--video a.mp4 --crop 101x100+0+0", "--video a.webm --crop 100x101+0+0",
                             "--video a.gif --fps 60", "--video no/such/folder/a.mp4",
                             "--video v.mp4"}) {
        SCOPED_TRACE(args);
        record(std::string("--seed 1 --frames 3 --every 1 --out out ") + args);
        EXPECT_EQ(status, 2);
        EXPECT_TRUE(has(err, "lincell-record: "));
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
        EXPECT_EQ(count(".", "^out$|^a\\."), 0);
    }
    EXPECT_EQ(sh("$R --help >/dev/full"), 1) << "help that cannot be written is no success";
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
            EXPECT_EQ(slurp("status"), strcmp(to, ">&-") ? "1\n" : "2\n") << to; // closed: refused at once
        }
    }
}

// One recording per folder; what a killed run left is cleared; a size limit is a
// failed write; the font never comes from the working folder.
TEST_F(Recorder, FolderRulesHoldAgainstOtherRunsAndLimits)
{
    {
        SCOPED_TRACE("a second recorder into the same folder is refused");
        EXPECT_EQ(sh("$R --seed 1 --frames 20000 --out same 2>/dev/null & sleep 0.5; "
                     "$R --seed 1 --frames 2 --out same 2>stderr; echo $? >status; kill $!; wait $!"),
                  143);
        EXPECT_EQ(slurp("status"), "1\n");
        EXPECT_TRUE(has(slurp("stderr"), "another recording is writing into same")) << slurp("stderr");
    }
    {
        SCOPED_TRACE("temporaries of killed runs go; a running writer's stay");
        const std::string live = std::to_string(getpid());
        ASSERT_EQ(sh("mkdir tmp && touch tmp/.frame-00002.png.999999999-0 tmp/.v.mp4.999999999-3 "
                     "tmp/.frame-00002.png." + live + "-0 tmp/.notes.999999999-0"),
                  0);
        record("--seed 1 --frames 2 --out tmp --video tmp/v.mp4 --every 1");
        EXPECT_EQ(status, 0) << err;
        EXPECT_EQ(count("tmp", "^\\."), 2) << "the live writer's and the user's own remain";
    }
    {
        SCOPED_TRACE("a file-size limit: cannot write, status 1, nothing half written");
        EXPECT_EQ(sh("ulimit -f 60 && $R --seed 1 --frames 5 --every 1 --out limited 2>stderr"), 1);
        EXPECT_TRUE(has(slurp("stderr"), "lincell-record: cannot write limited/")) << slurp("stderr");
        EXPECT_EQ(count("limited", "^\\."), 0);
    }
    {
        SCOPED_TRACE("a font in the working folder is not the recorder's");
        ASSERT_EQ(sh("mkdir bin run && cp $R bin/ && cp \"$(dirname $R)/myfont.pcx\" run/"), 0);
        ASSERT_EQ(sh("bin/lincell-record --seed 1 --frames 1 --out a"), 0);
        ASSERT_EQ(sh("cd run && ../bin/lincell-record --seed 1 --frames 1 --out ../b"), 0);
        EXPECT_EQ(slurp("a/frame-00001.png"), slurp("b/frame-00001.png"));
    }
}

// Stand-ins for ffmpeg on the PATH: one that ends well at once, one that never
// reads, one that fails with a flood of unprintable error output.
TEST_F(Recorder, FfmpegMisbehavingIsAFailureNeverAHang)
{
    ASSERT_EQ(sh("mkdir fake && printf '#!/bin/sh\\nexit 0\\n' >fake/quits && "
                 "printf '#!/bin/sh\\nexec sleep 60\\n' >fake/stalls && "
                 "printf '#!/bin/sh\\nhead -c 3000000 /dev/urandom >&2; exit 1\\n' >fake/spews && "
                 "chmod +x fake/*"),
              0);
    const std::string as_ffmpeg = "mkdir -p bin && ln -sf ../fake/";
    ASSERT_EQ(sh(as_ffmpeg + "quits bin/ffmpeg"), 0);
    EXPECT_EQ(sh("PATH=bin:$PATH $R --seed 1 --frames 300 --video q.mp4 2>stderr"), 1);
    EXPECT_TRUE(has(slurp("stderr"), "stopped taking the frames")) << slurp("stderr");
    EXPECT_EQ(count(".", "q\\.mp4"), 0);

    ASSERT_EQ(sh(as_ffmpeg + "stalls bin/ffmpeg"), 0);
    EXPECT_EQ(sh("PATH=bin:$PATH timeout -s KILL 5 $R --seed 1 --frames 300 --video s.mp4 "
                 "2>/dev/null & sleep 1; kill -TERM $!; wait $!"),
              1) << "ended by the recorder, not by timeout's KILL, and not reported as made";
    EXPECT_EQ(count(".", "s\\.mp4"), 0);

    ASSERT_EQ(sh(as_ffmpeg + "spews bin/ffmpeg"), 0);
    EXPECT_EQ(sh("PATH=bin:$PATH $R --seed 1 --frames 3 --video e.mp4 2>stderr"), 1);
    const std::string said = slurp("stderr");
    EXPECT_LT(said.size(), 5000u);
    EXPECT_EQ(std::count_if(said.begin(), said.end(),
                            [](char c) { return (c >= 0 && c < ' ' && c != '\n') || c == 127; }),
              0);
}

TEST_F(Recorder, VideoHoldsExactlyTheFramesRun)
{
    const std::string probe = "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                              "stream=codec_name,width,height,nb_read_frames -of csv=p=0 ";
    record("--seed 2 --frames 40 --hold esc@31 --crop 320x240+240+180 --video clip.mp4");
    ASSERT_EQ(status, 0);
    EXPECT_EQ(line_of(probe + "clip.mp4"), "h264,320,240,30");
    EXPECT_EQ(count(".", "grid|frame"), 0) << "a video alone writes no frames";

    SCOPED_TRACE("names ffmpeg could read as an option, a protocol, or too long a temporary");
    const std::string long_name(247, 'x');
    ASSERT_EQ(sh("mkdir ./-clips 2024-05-01T10:00"), 0);
    for (const char *folder : {"-clips", "2024-05-01T10:00"}) {
        record(std::string("--seed 2 --frames 3 --video ") + folder + "/a.apng");
        EXPECT_EQ(status, 0) << err;
        EXPECT_EQ(count(std::string("./") + folder, "^a.apng$"), 1);
    }
    record("--seed 2 --frames 3 --video " + long_name + ".apng");
    EXPECT_EQ(status, 0) << err;
    EXPECT_EQ(count(".", "^x+\\.apng$"), 1);
    EXPECT_EQ(sh("PATH=/nonexistent $R --seed 2 --frames 3 --video b.mp4 2>stderr"), 2);
    EXPECT_TRUE(has(slurp("stderr"), "apt-get install ffmpeg"));
    EXPECT_EQ(count(".", "b.mp4"), 0);
}

// The line appears once a run has taken a second; a stop signal ends this one.
// Each kind of video from one short run with C held, so the colours change every
// frame: it plays for frames / fps seconds as ffprobe reads it (a GIF's delays by
// the browsers' rule), and a GIF or an APNG holds the very pixels of the frames.
TEST_F(Recorder, EachVideoPlaysAtItsPaceAndTheLosslessOnesKeepEveryPixel)
{
    ASSERT_EQ(sh("$R --seed 5 --frames 24 --hold c@1-24 --every 1 --out f"), 0);
    const std::string pixels = " -f framemd5 -pix_fmt rgb24 - | grep -v '^#' | cut -d, -f6";
    const std::string frames = line_of("ffmpeg -v error -framerate 60 -i f/frame-%05d.png" +
                                       pixels + " | sha256sum");
    const struct {
        const char *kind, *fps, *seconds;
        bool lossless;
    } kinds[] = {{"gif", "", "0.48", true},     {"gif", "--fps 25", "0.96", true},
                 {"apng", "", "0.40", true},    {"mp4", "", "0.40", false},
                 {"webm", "--fps 30", "0.80", false}};
    for (const auto &k : kinds) {
        SCOPED_TRACE(std::string(k.kind) + " " + k.fps);
        const std::string video = std::string("v.") + k.kind;
        ASSERT_EQ(sh("$R --seed 5 --frames 24 --hold c@1-24 --overwrite --video " + video + " " +
                     k.fps),
                  0);
        EXPECT_EQ(line_of("{ ffprobe -v error -show_entries format=duration -of csv=p=0 " + video +
                          " | grep -v N/A || ffprobe -v error -show_entries packet=duration_time "
                          "-of csv=p=0 " + video + " | paste -sd+ | bc; } | xargs printf %.2f"),
                  k.seconds);
        if (k.lossless) {
            EXPECT_EQ(line_of("ffmpeg -v error -i " + video + pixels + " | sha256sum"), frames);
        }
    }
}

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
