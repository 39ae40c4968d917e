// ffmpeg runs in its own process group, so a Ctrl-C at the terminal reaches only
// the recorder, which then ends the video itself; its error output goes to a
// scratch file, whose last line is shown when it fails.
#include "tools/record_video.h"

#include <allegro.h>

#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <spawn.h>
#include <sys/wait.h>
#endif

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/frame.h"
#include "tools/record_files.h"

bool parse_crop(const char *text, video_crop *crop)
{
    char tail;
    video_crop c;
    if (sscanf(text, "%5dx%5d+%5d+%5d%c", &c.width, &c.height, &c.left, &c.top, &tail) != 4 ||
        !strchr("0123456789", text[0]))
        return false;
    if (c.width < 1 || c.height < 1 || c.left < 0 || c.top < 0 || c.left + c.width > screen_width ||
        c.top + c.height > screen_height)
        return false;
    *crop = c;
    return true;
}

// ffmpeg's output options for each kind of file.
struct video_kind {
    const char *ending;
    std::vector<const char *> options;
};

static const video_kind kinds[] = {
    {".mp4", {"-f", "mp4", "-c:v", "libx264", "-pix_fmt", "yuv420p", "-movflags", "+faststart"}},
    {".webm",
     {"-f", "webm", "-c:v", "libvpx-vp9", "-pix_fmt", "yuv420p", "-deadline", "realtime",
      "-cpu-used", "8", "-b:v", "0", "-crf", "32"}},
    {".gif", {"-f", "gif", "-filter_complex", "split[a][b];[a]palettegen[p];[b][p]paletteuse"}},
    {".apng", {"-f", "apng", "-plays", "0", "-pix_fmt", "rgb24"}},
};

static const video_kind *kind_of(const std::string &path)
{
    for (const video_kind &kind : kinds) {
        const size_t n = strlen(kind.ending);
        if (path.size() > n && strcasecmp(path.c_str() + path.size() - n, kind.ending) == 0)
            return &kind;
    }
    return nullptr;
}

bool is_video_path(const std::string &path)
{
    return kind_of(path) != nullptr;
}

#ifdef _WIN32
// The Windows build makes no videos: there is no ffmpeg for it to start.
std::string find_ffmpeg()
{
    return "";
}
bool start_video(const std::string &, const std::string &, int, video_crop)
{
    return false;
}
bool add_video_frame(BITMAP *)
{
    return false;
}
void drop_video() {}
bool finish_video(std::string *error)
{
    *error = "no video in the Windows build";
    return false;
}
#else
extern char **environ;

std::string find_ffmpeg()
{
    const char *path = getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= folders.size();) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        const std::string candidate =
            (end > start ? folders.substr(start, end - start) : ".") + "/ffmpeg";
        struct stat st;
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "";
}

static pid_t ffmpeg_pid;
static int frames_pipe = -1;
static FILE *errors;
static whole_file video;
static video_crop shown;

bool start_video(const std::string &ffmpeg, const std::string &path, int fps, video_crop crop)
{
    const video_kind *kind = kind_of(path);
    errors = tmpfile();
    if (!kind || !errors || !open_whole_file(path, &video))
        return false;
    shown = crop;
    char size[32], rate[16];
    snprintf(size, sizeof size, "%dx%d", crop.width, crop.height);
    snprintf(rate, sizeof rate, "%d", fps);
    std::vector<const char *> args = {
        ffmpeg.c_str(), "-hide_banner", "-loglevel", "error", "-nostdin",   "-y", "-f", "rawvideo",
        "-pix_fmt",     "bgr0",         "-s",        size,    "-framerate", rate, "-i", "pipe:0"};
    args.insert(args.end(), kind->options.begin(), kind->options.end());
    args.push_back(video.temporary.c_str());
    args.push_back(nullptr);

    int fds[2];
    if (pipe(fds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fileno(errors), 2);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        sigaddset(&defaults, s);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETPGROUP);
    const int started = posix_spawn(&ffmpeg_pid, ffmpeg.c_str(), &actions, &attributes,
                                    const_cast<char *const *>(args.data()), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(fds[0]);
    frames_pipe = fds[1];
    if (started != 0) {
        close(frames_pipe);
        frames_pipe = -1;
        ffmpeg_pid = 0;
        return false;
    }
    return true;
}

bool add_video_frame(BITMAP *back_buffer)
{
    if (frames_pipe < 0)
        return false;
    const size_t row_bytes = static_cast<size_t>(shown.width) * 4;
    for (int y = shown.top; y < shown.top + shown.height; y++) {
        const char *row = reinterpret_cast<const char *>(back_buffer->line[y]) + shown.left * 4;
        for (size_t done = 0; done < row_bytes;) {
            const ssize_t n = write(frames_pipe, row + done, row_bytes - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                close(frames_pipe);
                frames_pipe = -1;
                return false;
            }
            done += static_cast<size_t>(n);
        }
    }
    return true;
}

// The last non-empty line ffmpeg wrote to its error output.
static std::string last_error_line()
{
    std::string text, line;
    rewind(errors);
    char buffer[512];
    while (fgets(buffer, sizeof buffer, errors))
        text += buffer;
    size_t end = text.find_last_not_of("\r\n");
    if (end == std::string::npos)
        return "ffmpeg ended without saying why";
    const size_t start = text.find_last_of('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1, end + 1 - (start + 1));
}

static int wait_for_ffmpeg()
{
    if (frames_pipe >= 0)
        close(frames_pipe);
    frames_pipe = -1;
    int status = -1;
    while (ffmpeg_pid > 0 && waitpid(ffmpeg_pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

void drop_video()
{
    if (ffmpeg_pid > 0)
        kill(ffmpeg_pid, SIGTERM);
    wait_for_ffmpeg();
    drop_whole_file(&video);
}

bool finish_video(std::string *error)
{
    const int status = wait_for_ffmpeg();
    const bool made = ffmpeg_pid > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!made) {
        *error = ffmpeg_pid > 0 ? last_error_line() : "ffmpeg could not be started";
        drop_whole_file(&video);
        return false;
    }
    if (!commit_whole_file(&video)) {
        *error = "cannot write " + video.path;
        return false;
    }
    return true;
}
#endif
