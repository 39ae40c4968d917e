// The recorder's command line and what follows from it alone: which keys are
// held on which frame, where the run ends, which frames are written and under
// what names. Nothing here touches a file or the toy.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/frame.h"
#include "core/keys.h"

// The part of each picture a video shows: width x height from (left, top).
struct video_crop {
    int width, height, left, top;
};

struct options {
    uint64_t seed = 0;   // of the random source, 0..4294967295
    uint64_t frames = 0; // to run, 0..10000000
    uint64_t every = 0;  // also write every K-th frame; 0 for the last alone
    uint64_t fps = 0;    // the video's frames a second, 1..1000; 0 for its kind's own
    bool has_every = false;
    uint64_t link_frames = 0; // the frame --link's link opens on, when has_link_frames
    bool has_link_frames = false;
    bool log = false;       // one JSON line per frame on standard output
    bool overwrite = false; // replace an earlier recording's files
    bool help = false, version = false;
    std::string out = "."; // folder of the grids and frames
    std::string video;     // the video's path, "" for none
    video_crop crop = {screen_width, screen_height, 0, 0};
    bool has_crop = false;
    std::vector<hold> holds;
};

// What --help prints.
extern const char usage[];

// Read the command line into *o. False, with a message for the user in *error,
// when an argument is bad, missing or out of range.
bool parse_options(int argc, char **argv, options *o, std::string *error);

// Whether the run writes grids and frames: always, unless a video alone was asked for.
bool writes_files(const options &o);

// Whether frame k is kept, its grid and picture written: every K-th and the run's last.
bool is_kept_frame(const options &o, uint64_t k, uint64_t last);

// Digits in a run's file names: five up to frame 99,999, then as many as the last
// frame has, for every name of the run, so that a sorted listing is the run's order.
int name_digits(uint64_t last);

// Frame k's number as every file name of the run writes it, `digits` long:
// frame-00042.png and grid-00042.pgm.
std::string file_number(uint64_t k, int digits);

// Whether `name` is one a run may have given a file of this kind: KIND-, five to
// eight digits (the widths of runs of up to 10,000,000 frames), .EXT.
bool is_output_name(const char *name, const char *kind, const char *ext);
