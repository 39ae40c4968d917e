// Options are read with getopt_long; every value is checked in full (digits only,
// within its range), and the first fault found is the one reported.
#include "record/options.h"

#include <getopt.h>

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "core/link.h"
#include "core/run.h"

const char usage[] =
    "usage: lincell-record --seed S --frames F [--hold KEYS@A[-B]]... [--every K]\n"
    "                      [--out DIR] [--video FILE [--fps N] [--crop WxH+X+Y]]\n"
    "                      [--overwrite] [--log]\n"
    "       lincell-record --link LINK [--frames F] [the options above but --seed, --hold]\n"
    "       lincell-record --help | --version\n"
    "  --seed S        seed of the random source, 0..4294967295\n"
    "  --frames F      frames to run, 0..10000000\n"
    "  --hold KEYS@A-B hold keys C, N, M (any of them) or esc during frames A..B\n"
    "  --link LINK     the run a web page's link replays: its seed, its keys and\n"
    "                  (unless --frames is given) the frame it opens on\n"
    "  --every K       also write every K-th frame, not only the last\n"
    "  --out DIR       folder for grid-*.pgm and frame-*.png (default: .)\n"
    "  --video FILE    also the whole run as one video: .mp4, .webm, .gif or .apng\n"
    "                  (made by ffmpeg); alone, it writes no frames or grids\n"
    "  --fps N         the video's frames per second, 1..1000 (default 60; for a\n"
    "                  .gif 50, and one of 50, 25, 20, 10, 5, 4, 2 or 1)\n"
    "  --crop WxH+X+Y  the video shows only this part of the 800 x 600 picture\n"
    "  --overwrite     replace a recording already in the folder\n"
    "  --log           one JSON object per frame on standard output\n"
    "  -h, --help      this text\n"
    "  --version       the recorder's version\n";

constexpr uint64_t max_seed = 4294967295u;

// ImageMagick's WxH+X+Y, inside the 800 x 600 picture; false for anything else.
static bool parse_crop(const char *text, video_crop *crop)
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

// One option's value into *o; "" when it is good, else what is wrong with it.
static std::string take_option(int c, const char *value, options *o)
{
    switch (c) {
    case 's':
        return parse_whole_number(value, max_seed, &o->seed)
                   ? ""
                   : "--seed wants a whole number 0..4294967295";
    case 'f':
        return parse_whole_number(value, most_frames, &o->frames)
                   ? ""
                   : "--frames wants a whole number 0..10000000";
    case 'k': {
        hold h;
        if (const char *fault = parse_hold(value, &h); *fault)
            return std::string("--hold ") + fault;
        if (o->holds.size() == most_holds)
            return "--hold: more than a run keeps, " + std::to_string(most_holds);
        o->holds.push_back(h);
        return "";
    }
    case 'L': {
        static hold holds[most_holds];
        run_link link;
        if (const char *fault = read_run_link(value, strlen(value), holds, most_holds, &link);
            *fault)
            return std::string("--link: ") + fault;
        o->seed = link.seed;
        o->holds.assign(holds, holds + link.hold_count);
        o->link_frames = link.has_frames ? link.frames : 0;
        o->has_link_frames = link.has_frames;
        return "";
    }
    case 'e':
        o->has_every = true;
        return parse_whole_number(value, most_frames, &o->every) && o->every >= 1
                   ? ""
                   : "--every wants a whole number 1..10000000";
    case 'o':
        o->out = value;
        return *value ? "" : "--out wants a folder";
    case 'v':
        o->video = value;
        return *value ? "" : "--video wants a file";
    case 'r':
        return parse_whole_number(value, 1000, &o->fps) && o->fps >= 1
                   ? ""
                   : "--fps wants a whole number 1..1000";
    case 'x':
        o->has_crop = true;
        return parse_crop(value, &o->crop) ? ""
                                           : "--crop wants WxH+X+Y inside the 800 x 600 picture";
    }
    return "";
}

static std::string quoted(const char *what, const char *value)
{
    return std::string(what) + ": '" + value + "' (see --help)";
}

bool parse_options(int argc, char **argv, options *o, std::string *error)
{
    static const struct option long_options[] = {
        {"seed", required_argument, nullptr, 's'},  {"frames", required_argument, nullptr, 'f'},
        {"hold", required_argument, nullptr, 'k'},  {"link", required_argument, nullptr, 'L'},
        {"every", required_argument, nullptr, 'e'}, {"out", required_argument, nullptr, 'o'},
        {"log", no_argument, nullptr, 'l'},         {"video", required_argument, nullptr, 'v'},
        {"fps", required_argument, nullptr, 'r'},   {"crop", required_argument, nullptr, 'x'},
        {"overwrite", no_argument, nullptr, 'w'},   {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, 'V'},     {nullptr, 0, nullptr, 0}};
    *o = options();
    bool has_seed = false, has_frames = false, has_link = false, has_holds = false;
    opterr = 0;
    optind = 0; // start afresh, whatever an earlier call read
    int c;
    while ((c = getopt_long(argc, argv, ":h", long_options, nullptr)) != -1) {
        switch (c) {
        case 'w':
            o->overwrite = true;
            break;
        case 'l':
            o->log = true;
            break;
        case 'h':
            o->help = true;
            return true;
        case 'V':
            o->version = true;
            return true;
        case ':':
            *error = quoted("missing value for", argv[optind - 1]);
            return false;
        case '?':
            *error = quoted("unknown option", argv[optind - 1]);
            return false;
        default:
            if (const std::string fault = take_option(c, optarg, o); !fault.empty()) {
                *error = quoted(fault.c_str(), optarg);
                return false;
            }
            has_seed |= c == 's', has_frames |= c == 'f', has_link |= c == 'L',
                has_holds |= c == 'k';
        }
    }
    if (has_link && !has_frames && o->has_link_frames)
        o->frames = o->link_frames, has_frames = true;
    if (optind < argc)
        *error = quoted("unexpected argument", argv[optind]);
    else if (has_link && (has_seed || has_holds))
        *error = quoted("--link carries the seed and the keys; give it without",
                        has_seed ? "--seed" : "--hold");
    else if (has_link && !has_frames)
        *error = quoted("the link names no frame; give --frames too", "--link");
    else if (!has_seed && !has_link)
        *error = quoted("missing option", "--seed");
    else if (!has_frames)
        *error = quoted("missing option", "--frames");
    else if (o->video.empty() && o->has_crop)
        *error = quoted("--crop is for the video", "--crop");
    else
        return true;
    return false;
}

bool writes_files(const options &o)
{
    return o.video.empty() || o.has_every;
}

bool is_kept_frame(const options &o, uint64_t k, uint64_t last)
{
    return k == last || (o.every && k % o.every == 0);
}

int name_digits(uint64_t last)
{
    int digits = 5;
    for (uint64_t limit = 100000; last >= limit && digits < 20; limit *= 10)
        digits++;
    return digits;
}

std::string file_number(uint64_t k, int digits)
{
    char text[32];
    snprintf(text, sizeof text, "%0*llu", digits, static_cast<unsigned long long>(k));
    return text;
}

bool is_output_name(const char *name, const char *kind, const char *ext)
{
    const size_t n = strlen(kind);
    if (strncmp(name, kind, n) != 0 || name[n] != '-')
        return false;
    const char *digits = name + n + 1, *p = digits;
    while (*p >= '0' && *p <= '9')
        p++;
    const ptrdiff_t count = p - digits;
    return count >= 5 && count <= name_digits(most_frames) && *p == '.' && strcmp(p + 1, ext) == 0;
}
