// The video: every frame of the run, or the part of it --crop names, piped raw
// to the ffmpeg program, which encodes it by the file's ending. ffmpeg writes a
// temporary name that is renamed into place when it has ended well; it runs in
// a process group of its own, so a Ctrl-C at the terminal reaches only the
// recorder, which then ends the video itself. Its error output goes to a scratch
// file, whose last line is shown when it fails.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/files.h"
#include "platform/programs.h"
#include "platform/signals.h"
#include "platform/whole_file.h"
#include "record/output.h"
#include "record/progress.h"

// ffmpeg's output options for each kind of file.
struct video_kind {
    const char *ending;
    int fps;               // frames a second unless --fps says otherwise
    bool even_sides;       // whether the picture's width and height must be even (4:2:0)
    bool centisecond_pace; // whether frames last whole hundredths of a second (GIF)
    std::vector<const char *> options;
};

static const video_kind kinds[] = {
    // H.264 at quality 19: its worst frame of the toy's noisiest stretches stays
    // above 0.9 SSIM. VP9 in real-time mode, tuned for screen content, at the
    // same mean SSIM: the fastest VP9 setting that reaches it (docs/performance.md).
    {".mp4",
     60,
     true,
     false,
     {"-f", "mp4", "-c:v", "libx264", "-crf", "19", "-pix_fmt", "yuv420p", "-movflags",
      "+faststart"}},
    {".webm", 60, true, false, {"-f",        "webm",    "-c:v",          "libvpx-vp9",
                                "-pix_fmt",  "yuv420p", "-deadline",     "realtime",
                                "-cpu-used", "6",       "-tune-content", "screen",
                                "-row-mt",   "1",       "-tile-columns", "2",
                                "-b:v",      "0",       "-crf",          "30"}},
    // Each frame with a palette of its own, made from its own colours alone: a
    // frame of at most 256 colours is kept exactly, and nothing waits for the clip.
    {".gif",
     50,
     false,
     true,
     {"-f", "gif", "-filter_complex",
      "split[a][b];[a]palettegen=stats_mode=single:reserve_transparent=0[p];"
      "[b][p]paletteuse=new=1:dither=none"}},
    {".apng", 60, false, false, {"-f", "apng", "-plays", "0", "-pix_fmt", "rgb24"}},
};

// Whether `path` ends in `ending` (lower case), in either case.
static bool ends_in(const std::string &path, const char *ending)
{
    const size_t n = strlen(ending);
    if (path.size() <= n)
        return false;
    for (size_t i = 0; i < n; i++) {
        const char c = path[path.size() - n + i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != ending[i])
            return false;
    }
    return true;
}

static const video_kind *kind_of(const std::string &path)
{
    for (const video_kind &kind : kinds)
        if (ends_in(path, kind.ending))
            return &kind;
    return nullptr;
}

static std::string ffmpeg;
static child_program encoder = {0, -1};
static FILE *errors;
static whole_file video;
static video_crop shown;
static bool video_open;       // ffmpeg started and its file not yet ended
static uint64_t frames_taken; // frames ffmpeg has been given whole

// ffmpeg's progress as last seen, and when it last changed: its processor time
// and the size of its file.
static long long last_work = -2;
static std::chrono::steady_clock::time_point last_change;
constexpr int patience_ms = 5000; // without progress, after a stop

// Whether to give up on ffmpeg: at once after a second stop signal; after the
// first, once it has gone on for patience_ms without working or writing.
static bool give_up_on_ffmpeg()
{
    if (stop_count >= 2)
        return true;
    if (!stop_signal)
        return false;
    const long long size = file_size(video.temporary);
    const long long work = program_work(encoder) + (size > 0 ? size : 0);
    const auto now = std::chrono::steady_clock::now();
    if (work != last_work) {
        last_work = work, last_change = now;
        return false;
    }
    return now - last_change >= std::chrono::milliseconds(patience_ms);
}

static bool is_wanted(const options &o)
{
    return !o.video.empty();
}

// A rate whose frames last a whole number of hundredths of a second, at least two:
// browsers play a GIF delay under 2 as 10.
static bool is_centisecond_pace(uint64_t fps)
{
    return fps <= 50 && 100 % fps == 0;
}

static bool check(const options &o, std::string *error)
{
    const video_kind *kind = kind_of(o.video);
    const std::string folder = folder_of(o.video);
    if (!kind)
        *error = "--video wants a file ending in .mp4, .webm, .gif or .apng: '" + o.video +
                 "' (see --help)";
    else if (kind->centisecond_pace && o.fps && !is_centisecond_pace(o.fps))
        *error = "--fps for a .gif is one of 50, 25, 20, 10, 5, 4, 2 or 1 (its delays are whole "
                 "hundredths of a second, at least 2): '" +
                 std::to_string(o.fps) + "'";
    else if (o.frames == 0)
        *error = "--video wants at least one frame: --frames 0 would make a video of nothing";
    else if (kind->even_sides && (o.crop.width % 2 || o.crop.height % 2))
        *error = "--crop for a " + std::string(kind->ending) +
                 " wants an even width and height: '" + std::to_string(o.crop.width) + "x" +
                 std::to_string(o.crop.height) + "'";
    else if (!is_folder(folder))
        *error = "--video's folder does not exist: '" + folder + "'";
    else if (is_folder(o.video))
        *error = "--video names a folder: '" + o.video + "'";
    else if ((ffmpeg = find_program("ffmpeg")).empty())
        *error = "--video needs the ffmpeg program, beside the recorder or on the PATH (on "
                 "Debian: apt-get install ffmpeg)";
    else
        return true;
    return false;
}

static bool is_mine(const options &o, const std::string &folder, const char *name)
{
    return name == name_of(o.video) && same_folder(folder, folder_of(o.video));
}

static bool begin(const options &o, const recorded_frame &, std::string *error)
{
    shown = o.crop;
    if (!reserve_whole_file(o.video, &video)) {
        *error = "cannot write " + o.video;
        return false;
    }
    errors = open_scratch_file();
    char size[32], rate[16];
    snprintf(size, sizeof size, "%dx%d", shown.width, shown.height);
    const video_kind *kind = kind_of(o.video);
    snprintf(rate, sizeof rate, "%d", o.fps ? static_cast<int>(o.fps) : kind->fps);
    std::vector<const char *> args = {
        ffmpeg.c_str(), "-hide_banner", "-loglevel", "error", "-nostdin",   "-y", "-f", "rawvideo",
        "-pix_fmt",     "bgr0",         "-s",        size,    "-framerate", rate, "-i", "pipe:0"};
    args.insert(args.end(), kind->options.begin(), kind->options.end());
    // As a file: URL, so that no name can read to ffmpeg as an option or a protocol.
    const std::string target = "file:" + video.temporary;
    args.push_back(target.c_str());
    args.push_back(nullptr);
    if (errors && start_program(args.data(), fileno(errors), &encoder))
        return video_open = true;
    if (errors)
        fclose(errors);
    drop_whole_file(&video);
    *error = "cannot start ffmpeg for " + o.video;
    return false;
}

// The last non-empty line ffmpeg wrote to its error output, from its last few
// kilobytes only, with anything unprintable shown as '?'.
static std::string last_error_line()
{
    char tail[4096];
    fseek(errors, 0, SEEK_END);
    const long size = ftell(errors);
    fseek(errors, size > static_cast<long>(sizeof tail) ? size - static_cast<long>(sizeof tail) : 0,
          SEEK_SET);
    std::string text(tail, fread(tail, 1, sizeof tail, errors));
    for (char &c : text)
        if (c == '\r')
            c = '\n';
        else if ((c >= 0 && c < ' ' && c != '\n') || c == 127)
            c = '?';
    const size_t end = text.find_last_not_of('\n');
    if (end == std::string::npos)
        return "ffmpeg ended without saying why";
    const size_t start = text.find_last_of('\n', end);
    const std::string line =
        text.substr(start == std::string::npos ? 0 : start + 1, end + 1 - (start + 1));
    constexpr size_t longest = 200; // one readable line, however long ffmpeg's was
    return line.size() <= longest ? line : line.substr(0, longest - 3) + "...";
}

// Wait for ffmpeg to end; with `keep`, put the video in place if it ended well.
static bool end_video(bool keep, std::string *error)
{
    if (!video_open)
        return false;
    video_open = false;
    const bool made = wait_program(&encoder, give_up_on_ffmpeg);
    if (!made)
        *error = "ffmpeg could not make " + video.path + ": " + last_error_line();
    fclose(errors);
    if (!made) {
        drop_whole_file(&video);
        return false;
    }
    if (!keep) {
        drop_whole_file(&video);
        return false;
    }
    if (!commit_whole_file(&video)) {
        *error = "cannot write " + video.path;
        return false;
    }
    return true;
}

// A run that ended before its first frame makes no video.
static bool finish(std::string *error)
{
    if (frames_taken == 0) {
        stop_program(encoder);
        end_video(false, error);
        *error = "no frame ran, so " + video.path + " was not made";
        return false;
    }
    show_finishing(video.path + (stop_signal ? " (Ctrl-C again to abandon it)" : ""));
    return end_video(true, error);
}

// Each frame goes to ffmpeg whole or not at all: a stop signal lets the frame
// being sent finish. A frame ffmpeg will not take is a failure, even when ffmpeg
// says it ended well.
static bool take_frame(const recorded_frame &frame, std::string *error)
{
    static uint32_t pixels[screen_width * screen_height];
    for (int y = 0; y < shown.height; y++)
        memcpy(pixels + y * shown.width, frame.rows[shown.top + y] + shown.left,
               static_cast<size_t>(shown.width) * 4);
    if (write_program(encoder, pixels, static_cast<size_t>(shown.width * shown.height) * 4,
                      give_up_on_ffmpeg)) {
        frames_taken++;
        return true;
    }
    *error = stop_count >= 2 ? "abandoned " + video.path
                             : "ffmpeg stopped taking the frames of " + video.path;
    stop_program(encoder);
    std::string ignored;
    end_video(false, &ignored);
    return false;
}

static void abandon()
{
    if (!video_open)
        return;
    stop_program(encoder);
    std::string ignored;
    end_video(false, &ignored);
}

extern const output video_output = {is_wanted, check, is_mine, begin, take_frame, finish, abandon};
