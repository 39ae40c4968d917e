// lincell-record: replays a seeded run of the toy without a window. It starts the
// toy as the window program does, but with the library's headless system, a
// 32-bit memory back buffer, its seed and its keys from the command line, and
// writes the world as PGM grids, the picture as PNG frames or a video, and a
// JSON Lines log.
#include <allegro.h>

#include <dirent.h>
#include <fcntl.h>
#include <getopt.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "app/font.h"
#include "app/frame.h"
#include "app/signals.h"
#include "automaton/grid.h"
#include "display/lattice.h"
#include "tools/record_files.h"
#include "tools/record_video.h"

#ifdef _WIN32
#include <io.h>
// Windows has no links for stat to see past and makes folders without modes.
#define lstat stat
#define mkdir(path, mode) mkdir(path)
#endif

static const char usage[] =
    "usage: lincell-record --seed S --frames F [--hold KEYS@A[-B]]... [--every K]\n"
    "                      [--out DIR] [--video FILE [--fps N] [--crop WxH+X+Y]]\n"
    "                      [--overwrite] [--log]\n"
    "  --seed S        seed of the random source, 0..4294967295\n"
    "  --frames F      frames to run, 0..10000000\n"
    "  --hold KEYS@A-B hold keys C, N, M (any of them) or esc during frames A..B\n"
    "  --every K       also write every K-th frame, not only the last\n"
    "  --out DIR       folder for grid-*.pgm and frame-*.png (default: .)\n"
    "  --video FILE    also the whole run as one video: .mp4, .webm, .gif or .apng\n"
    "                  (made by ffmpeg); alone, it writes no frames or grids\n"
    "  --fps N         the video's frames per second, 1..1000 (default 60)\n"
    "  --crop WxH+X+Y  the video shows only this part of the 800 x 600 picture\n"
    "  --overwrite     replace a recording already in the folder\n"
    "  --log           one JSON object per frame on standard output\n";

constexpr uint64_t max_seed = 4294967295u;
constexpr uint64_t max_frames = 10000000;

enum { hold_c = 1, hold_n = 2, hold_m = 4, hold_esc = 8 };

// Keys held during frames first..last inclusive.
struct hold {
    int keys;
    uint64_t first, last;
};

struct options {
    uint64_t seed = 0, frames = 0, every = 0, fps = 60;
    bool has_seed = false, has_frames = false, has_out = false, has_every = false, log = false,
         overwrite = false;
    std::string out = ".", video;
    video_crop crop = {screen_width, screen_height, 0, 0};
    bool has_crop = false;
    std::vector<hold> holds;
};

[[noreturn]] static void refuse(const char *what, const char *value)
{
    fprintf(stderr, "lincell-record: %s: '%s' (see --help)\n", what, value);
    exit(2);
}

// A whole decimal number of at most `max`, digits only; false for anything else.
static bool parse_number(const char *text, uint64_t max, uint64_t *value)
{
    if (!*text)
        return false;
    uint64_t n = 0;
    for (const char *p = text; *p; p++) {
        if (*p < '0' || *p > '9')
            return false;
        n = n * 10 + static_cast<uint64_t>(*p - '0');
        if (n > max)
            return false;
    }
    *value = n;
    return true;
}

static int parse_keys(const std::string &word)
{
    if (strcasecmp(word.c_str(), "esc") == 0)
        return hold_esc;
    int keys = 0;
    for (char c : word) {
        switch (c) {
        case 'c':
        case 'C':
            keys |= hold_c;
            break;
        case 'n':
        case 'N':
            keys |= hold_n;
            break;
        case 'm':
        case 'M':
            keys |= hold_m;
            break;
        default:
            return 0;
        }
    }
    return keys;
}

// KEYS@A or KEYS@A-B.
static hold parse_hold(const char *text)
{
    const std::string arg = text;
    const size_t at = arg.find('@');
    if (at == std::string::npos)
        refuse("--hold wants KEYS@A or KEYS@A-B", text);
    hold h{parse_keys(arg.substr(0, at)), 0, 0};
    if (!h.keys)
        refuse("--hold keys are C, N, M or esc", text);
    const std::string range = arg.substr(at + 1);
    const size_t dash = range.find('-');
    const std::string first = range.substr(0, dash);
    const std::string last = dash == std::string::npos ? first : range.substr(dash + 1);
    if (!parse_number(first.c_str(), max_frames, &h.first) || h.first < 1 ||
        !parse_number(last.c_str(), max_frames, &h.last))
        refuse("--hold frames are whole numbers 1..10000000", text);
    if (h.last < h.first)
        refuse("--hold range ends before it starts", text);
    return h;
}

static options parse_options(int argc, char **argv)
{
    static const struct option long_options[] = {
        {"seed", required_argument, nullptr, 's'},  {"frames", required_argument, nullptr, 'f'},
        {"hold", required_argument, nullptr, 'k'},  {"every", required_argument, nullptr, 'e'},
        {"out", required_argument, nullptr, 'o'},   {"log", no_argument, nullptr, 'l'},
        {"video", required_argument, nullptr, 'v'}, {"fps", required_argument, nullptr, 'r'},
        {"crop", required_argument, nullptr, 'x'},  {"overwrite", no_argument, nullptr, 'w'},
        {"help", no_argument, nullptr, 'h'},        {nullptr, 0, nullptr, 0}};
    options o;
    opterr = 0;
    int c;
    while ((c = getopt_long(argc, argv, ":", long_options, nullptr)) != -1) {
        switch (c) {
        case 's':
            o.has_seed = parse_number(optarg, max_seed, &o.seed);
            if (!o.has_seed)
                refuse("--seed wants a whole number 0..4294967295", optarg);
            break;
        case 'f':
            o.has_frames = parse_number(optarg, max_frames, &o.frames);
            if (!o.has_frames)
                refuse("--frames wants a whole number 0..10000000", optarg);
            break;
        case 'k':
            o.holds.push_back(parse_hold(optarg));
            break;
        case 'e':
            if (!parse_number(optarg, max_frames, &o.every) || o.every < 1)
                refuse("--every wants a whole number 1..10000000", optarg);
            o.has_every = true;
            break;
        case 'o':
            if (!*optarg)
                refuse("--out wants a folder", optarg);
            o.out = optarg;
            o.has_out = true;
            break;
        case 'v':
            if (!is_video_path(optarg))
                refuse("--video wants a file ending in .mp4, .webm, .gif or .apng", optarg);
            o.video = optarg;
            break;
        case 'r':
            if (!parse_number(optarg, 1000, &o.fps) || o.fps < 1)
                refuse("--fps wants a whole number 1..1000", optarg);
            break;
        case 'x':
            if (!parse_crop(optarg, &o.crop))
                refuse("--crop wants WxH+X+Y inside the 800 x 600 picture", optarg);
            o.has_crop = true;
            break;
        case 'w':
            o.overwrite = true;
            break;
        case 'l':
            o.log = true;
            break;
        case 'h':
            fputs(usage, stdout);
            exit(0);
        case ':':
            refuse("missing value for", argv[optind - 1]);
        default:
            refuse("unknown option", argv[optind - 1]);
        }
    }
    if (optind < argc)
        refuse("unexpected argument", argv[optind]);
    if (!o.has_seed)
        refuse("missing option", "--seed");
    if (!o.has_frames)
        refuse("missing option", "--frames");
    if (o.video.empty() && o.has_crop)
        refuse("--crop is for the video", "--crop");
    return o;
}

// Keys held at frame k: every hold that covers it adds its keys.
static int keys_at(const options &o, uint64_t k)
{
    int keys = 0;
    for (const hold &h : o.holds)
        if (h.first <= k && k <= h.last)
            keys |= h.keys;
    return keys;
}

// The last frame that runs: Esc held at frame A ends the run before frame A.
static uint64_t last_frame(const options &o)
{
    uint64_t last = o.frames;
    for (const hold &h : o.holds)
        if ((h.keys & hold_esc) && h.first <= last)
            last = h.first - 1;
    return last;
}

// Whether the encoders and ffmpeg are running, so that a failure stops them first.
static bool encoders_running, video_running;

// Say what failed and exit with status 1: the frames already queued are finished
// (so each stays whole), and an unfinished video is dropped.
[[noreturn]] static void fail(const std::string &what)
{
    std::string ignored;
    if (encoders_running)
        finish_encoders(&ignored);
    if (video_running)
        drop_video();
    encoders_running = video_running = false;
    fprintf(stderr, "lincell-record: %s\n", what.c_str());
    exit(1);
}

[[noreturn]] static void fail_write(const std::string &path)
{
    fail("cannot write " + path);
}

// Create the folder and its parents, like mkdir -p.
static void make_folder(const std::string &path)
{
    for (size_t i = 1; i <= path.size(); i++) {
        if (i < path.size() && path[i] != '/' && path[i] != '\\')
            continue;
        const std::string part = path.substr(0, i);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            fail_write(path);
    }
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || access(path.c_str(), W_OK) != 0)
        fail_write(path);
}

// Whether a file name is one of a recording's: grid-DIGITS.pgm or frame-DIGITS.png.
static bool is_recording_file(const char *name)
{
    for (const char *kind : {"grid-", "frame-"}) {
        const size_t n = strlen(kind);
        if (strncmp(name, kind, n) != 0)
            continue;
        const char *p = name + n;
        while (*p >= '0' && *p <= '9')
            p++;
        return p > name + n && strcmp(p, kind[0] == 'g' ? ".pgm" : ".png") == 0;
    }
    return false;
}

// A folder that already holds a recording is left alone unless told to replace
// it; then its old grids and frames go first, so none of another run remain.
static void clear_old_recording(const options &o, bool writes_files)
{
    std::vector<std::string> old;
    if (writes_files)
        if (DIR *folder = opendir(o.out.c_str())) {
            while (const dirent *entry = readdir(folder))
                if (is_recording_file(entry->d_name))
                    old.push_back(o.out + "/" + entry->d_name);
            closedir(folder);
        }
    struct stat st;
    if (!o.video.empty() && lstat(o.video.c_str(), &st) == 0)
        old.push_back(o.video);
    if (old.empty())
        return;
    if (!o.overwrite)
        fail(old.front() + " is of an earlier recording; give --overwrite to replace it");
    for (const std::string &path : old)
        if (path != o.video && unlink(path.c_str()) != 0)
            fail("cannot remove " + path);
}

// Digits in file names: five up to frame 99,999, then as many as the last frame
// has, for every name of the run, so that a sorted listing is the run's order.
static int name_digits(uint64_t last)
{
    int digits = 5;
    for (uint64_t limit = 100000; last >= limit && digits < 20; limit *= 10)
        digits++;
    return digits;
}

static std::string output_path(const options &o, const char *kind, uint64_t k, const char *ext,
                               int digits)
{
    char name[64];
    snprintf(name, sizeof name, "/%s-%0*llu.%s", kind, digits, static_cast<unsigned long long>(k),
             ext);
    return o.out + name;
}

// current_grid as a binary PGM, one row of 256 bytes per y.
static void write_grid(const std::string &path)
{
    static const char header[] = "P5\n256 192\n255\n";
    static unsigned char pgm[sizeof header - 1 + world_cells];
    memcpy(pgm, header, sizeof header - 1);
    unsigned char *rows = pgm + sizeof header - 1;
    for (int x = 0; x < world_width; x++)
        for (int y = 0; y < world_height; y++)
            rows[y * world_width + x] = static_cast<unsigned char>(current_grid[cell_index(x, y)]);
    if (!write_whole_file(path, pgm, sizeof pgm))
        fail_write(path);
}

// Write all of a log line, or fail: a log that cannot be written is an error.
static void write_log(const char *line, size_t size)
{
    for (size_t done = 0; done < size;) {
        const ssize_t n = write(1, line + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(std::string("cannot write the log: ") +
                 (n < 0 ? strerror(errno) : "nothing taken"));
        done += static_cast<size_t>(n);
    }
}

static void log_frame(uint64_t k, int keys, bool reseeded)
{
    char line[512];
    int n = snprintf(line, sizeof line,
                     "{\"frame\":%llu,\"keys\":\"%s%s%s\",\"reseeded\":%s,\"mutated\":%s,"
                     "\"recolored\":%s,\"still_count\":%d,\"reseed_flag\":%d,\"weights\":[",
                     static_cast<unsigned long long>(k), keys & hold_c ? "C" : "",
                     keys & hold_n ? "N" : "", keys & hold_m ? "M" : "",
                     reseeded ? "true" : "false", keys & hold_m ? "true" : "false",
                     keys & hold_c ? "true" : "false", still_count, reseed_flag);
    for (int i = 0; i < rule_taps; i++)
        n += snprintf(line + n, sizeof line - n, "%s%.9g", i ? "," : "",
                      static_cast<double>(rule_weights[i]));
    n += snprintf(line + n, sizeof line - n, "],\"gain\":%.9g}\n", static_cast<double>(rule_gain));
    write_log(line, static_cast<size_t>(n));
}

// One line on a terminal's standard error, redrawn in place a few times a second
// once the run has taken a second: frames done, their pace and the time left.
using clock_type = std::chrono::steady_clock;
static const bool show_progress = isatty(2);
static clock_type::time_point run_start, last_progress;
static bool progress_shown;

static void show_progress_line(uint64_t done, uint64_t total)
{
    const auto now = clock_type::now();
    const double seconds = std::chrono::duration<double>(now - run_start).count();
    if (!show_progress || seconds < 1.0 || now - last_progress < std::chrono::milliseconds(250))
        return;
    last_progress = now;
    const double pace = done / seconds;
    const double left = pace > 0 ? (total - done) / pace : 0;
    fprintf(stderr, "\r%llu of %llu frames, %.0f frames a second, %.0f s left\033[K",
            static_cast<unsigned long long>(done), static_cast<unsigned long long>(total), pace,
            left);
    progress_shown = true;
}

static void wipe_progress_line()
{
    if (progress_shown)
        fputs("\r\033[K", stderr);
}

// Standard streams that came closed are opened on /dev/null, so that no file the
// recorder opens takes their place; a log on a closed standard output is an error.
static void guard_standard_streams([[maybe_unused]] bool log)
{
#ifdef _WIN32
    _setmode(1, _O_BINARY); // the log's lines end in \n on every platform
#else
    if (log && fcntl(1, F_GETFD) < 0)
        fail("cannot write the log: standard output is closed");
    for (int fd = 0; fd <= 2; fd++)
        if (fcntl(fd, F_GETFD) < 0 && open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd)
            exit(1);
#endif
}

// Any allocation of the recorder's own that fails ends it with a message, not a crash.
[[noreturn]] static void report_no_memory()
{
    static const char message[] = "lincell-record: not enough memory\n";
    (void)!write(2, message, sizeof message - 1);
    _exit(1);
}

int main(int argc, char **argv)
{
    std::set_new_handler(report_no_memory);
    const options o = parse_options(argc, argv);
    guard_standard_streams(o.log);
    const uint64_t last = last_frame(o);
    const int digits = name_digits(last);
    // With a video, grids and frames are written only when --every asks for them.
    const bool writes_files = o.video.empty() || o.has_every;
    std::string ffmpeg;
    if (!o.video.empty() && (ffmpeg = find_ffmpeg()).empty()) {
#ifdef _WIN32
        fprintf(stderr, "lincell-record: --video is made by the Linux build only\n");
#else
        fprintf(stderr, "lincell-record: --video needs the ffmpeg program; on Debian: "
                        "apt-get install ffmpeg\n");
#endif
        exit(2);
    }
    catch_stop_signals();
#ifdef SIGPIPE
    signal(SIGPIPE, SIG_IGN); // a closed log or a failed ffmpeg shows as a write error
#endif
    if (writes_files)
        make_folder(o.out);
    clear_old_recording(o, writes_files);

    size_cells();
    start_headless_library();
    BITMAP *back_buffer =
        start_toy(static_cast<uint32_t>(o.seed), find_caption_font(false).c_str());
    if (writes_files && !(encoders_running = start_encoders()))
        fail("not enough memory for the frames being written");
    if (!o.video.empty() &&
        !(video_running = start_video(ffmpeg, o.video, static_cast<int>(o.fps), o.crop)))
        fail("cannot start ffmpeg for " + o.video);

    run_start = clock_type::now();
    if (writes_files)
        write_grid(output_path(o, "grid", 0, "pgm", digits));
    for (uint64_t k = 1; k <= last && !stop_signal; k++) {
        const int keys = keys_at(o, k);
        key[KEY_C] = (keys & hold_c) != 0;
        key[KEY_N] = (keys & hold_n) != 0;
        key[KEY_M] = (keys & hold_m) != 0;
        const bool reseeded = (keys & hold_n) || reseed_flag;
        run_frame(back_buffer);
        if (o.log)
            log_frame(k, keys, reseeded);
        if (writes_files && (k == last || (o.every && k % o.every == 0))) {
            write_grid(output_path(o, "grid", k, "pgm", digits));
            const std::string frame = output_path(o, "frame", k, "png", digits);
            if (!queue_frame(frame, back_buffer))
                break;
        }
        if (!o.video.empty() && !add_video_frame(back_buffer))
            break;
        show_progress_line(k, last);
    }
    wipe_progress_line();

    std::string failed;
    encoders_running = false;
    if (writes_files && !finish_encoders(&failed))
        fail_write(failed);
    video_running = false;
    if (!o.video.empty() && !finish_video(&failed))
        fail("ffmpeg could not make " + o.video + ": " + failed);
    stop_toy(back_buffer);
    return stop_signal ? 128 + stop_signal : 0;
}
END_OF_MAIN()
