// lincell-record: replays a seeded run of the toy without a window. It starts the
// toy as the window program does, but with the library's headless system, a
// 32-bit memory back buffer, its seed and its keys from the command line, and
// writes the world as PGM grids, the picture as PNG frames and a JSON Lines log.
#include <allegro.h>
#include <loadpng.h>

#include <getopt.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/frame.h"
#include "automaton/grid.h"
#include "display/lattice.h"

static const char usage[] =
    "usage: lincell-record --seed S --frames F [--hold KEYS@A[-B]]... [--every K]\n"
    "                      [--out DIR] [--log]\n"
    "  --seed S        seed of the random source, 0..4294967295\n"
    "  --frames F      frames to run, 0..10000000\n"
    "  --hold KEYS@A-B hold keys C, N, M (any of them) or esc during frames A..B\n"
    "  --every K       also write every K-th frame, not only the last\n"
    "  --out DIR       folder for grid-*.pgm and frame-*.png (default: .)\n"
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
    uint64_t seed = 0, frames = 0, every = 0;
    bool has_seed = false, has_frames = false, log = false;
    std::string out = ".";
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
        {"seed", required_argument, nullptr, 's'}, {"frames", required_argument, nullptr, 'f'},
        {"hold", required_argument, nullptr, 'k'}, {"every", required_argument, nullptr, 'e'},
        {"out", required_argument, nullptr, 'o'},  {"log", no_argument, nullptr, 'l'},
        {"help", no_argument, nullptr, 'h'},       {nullptr, 0, nullptr, 0}};
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
            break;
        case 'o':
            if (!*optarg)
                refuse("--out wants a folder", optarg);
            o.out = optarg;
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

[[noreturn]] static void fail_write(const std::string &path)
{
    fprintf(stderr, "lincell-record: cannot write %s\n", path.c_str());
    exit(1);
}

// Create the folder and its parents, like mkdir -p.
static void make_folder(const std::string &path)
{
    for (size_t i = 1; i <= path.size(); i++) {
        if (i < path.size() && path[i] != '/')
            continue;
        const std::string part = path.substr(0, i);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            fail_write(path);
    }
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || access(path.c_str(), W_OK) != 0)
        fail_write(path);
}

static std::string output_path(const options &o, const char *kind, uint64_t k, const char *ext)
{
    char name[64];
    snprintf(name, sizeof name, "/%s-%05llu.%s", kind, static_cast<unsigned long long>(k), ext);
    return o.out + name;
}

// current_grid as a binary PGM, one row of 256 bytes per y.
static void write_grid(const options &o, uint64_t k)
{
    const std::string path = output_path(o, "grid", k, "pgm");
    unsigned char rows[world_height][world_width];
    for (int x = 0; x < world_width; x++)
        for (int y = 0; y < world_height; y++)
            rows[y][x] = static_cast<unsigned char>(current_grid[cell_index(x, y)]);
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        fail_write(path);
    const bool written = fprintf(f, "P5\n%d %d\n255\n", world_width, world_height) > 0 &&
                         fwrite(rows, sizeof rows, 1, f) == 1;
    if (fclose(f) != 0 || !written)
        fail_write(path);
}

// The back buffer as an 8-bit RGB PNG: through a 24-bit copy, so that the
// unused top byte of the 32-bit pixels is not written as alpha.
static void write_frame(const options &o, uint64_t k, BITMAP *back_buffer, BITMAP *rgb)
{
    const std::string path = output_path(o, "frame", k, "png");
    blit(back_buffer, rgb, 0, 0, 0, 0, screen_width, screen_height);
    if (save_png(path.c_str(), rgb, nullptr) != 0)
        fail_write(path);
}

static void log_frame(uint64_t k, int keys, bool reseeded)
{
    printf("{\"frame\":%llu,\"keys\":\"%s%s%s\",\"reseeded\":%s,\"mutated\":%s,"
           "\"recolored\":%s,\"still_count\":%d,\"reseed_flag\":%d,\"weights\":[",
           static_cast<unsigned long long>(k), keys & hold_c ? "C" : "", keys & hold_n ? "N" : "",
           keys & hold_m ? "M" : "", reseeded ? "true" : "false", keys & hold_m ? "true" : "false",
           keys & hold_c ? "true" : "false", still_count, reseed_flag);
    for (int i = 0; i < rule_taps; i++)
        printf("%s%.9g", i ? "," : "", static_cast<double>(rule_weights[i]));
    printf("],\"gain\":%.9g}\n", static_cast<double>(rule_gain));
}

// The font file beside this executable, so that a recording looks the same from any folder.
static std::string font_beside_executable()
{
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return "myfont.pcx";
    exe[n] = '\0';
    std::string path = exe;
    return path.substr(0, path.rfind('/') + 1) + "myfont.pcx";
}

int main(int argc, char **argv)
{
    const options o = parse_options(argc, argv);
    const uint64_t last = last_frame(o);
    make_folder(o.out);

    size_cells();
    start_headless_library();
    BITMAP *back_buffer =
        start_toy(static_cast<uint32_t>(o.seed), font_beside_executable().c_str());
    BITMAP *rgb = create_bitmap_ex(24, screen_width, screen_height);

    write_grid(o, 0);
    for (uint64_t k = 1; k <= last; k++) {
        const int keys = keys_at(o, k);
        key[KEY_C] = (keys & hold_c) != 0;
        key[KEY_N] = (keys & hold_n) != 0;
        key[KEY_M] = (keys & hold_m) != 0;
        const bool reseeded = (keys & hold_n) || reseed_flag;
        run_frame(back_buffer);
        if (o.log)
            log_frame(k, keys, reseeded);
        if (k == last || (o.every && k % o.every == 0)) {
            write_grid(o, k);
            write_frame(o, k, back_buffer, rgb);
        }
    }
    fflush(stdout);
    destroy_bitmap(rgb);
    stop_toy(back_buffer);
    return 0;
}
END_OF_MAIN()
